// A serial port connection, written once over the platform's port backend
// (serial/port_backend.h). The dialog keeps one for the whole process;
// zort-read opens one per worker (reading/read_port.h).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "protocol/status.h"
#include "serial/port_backend.h"

// The line mode every open applies.
constexpr const char* kLineMode = "1200,n,8,1";

// State bits of a PortConnection.
enum PortState : uint32_t {
  kPortOpen = 0x1,            // handle holds an open port
  kPortInUse = 0x2,           // a transaction is using the handle
  kPortCloseRequested = 0x4,  // closed by the user; released once no longer in use
};

// In the dialog: opened and closed by the UI thread, used by the worker's
// transactions; in zort-read: opened, used and closed by one worker. A
// close during a transaction is deferred: the handle is released by whichever
// side sees the port unused last, exactly once.
struct PortConnection {
  std::atomic<PortHandle> handle{kNoPort};
  std::atomic<uint32_t> state{0};
  // The system's reason (UTF-8) why the last open failed; empty after a
  // successful open or where the system gave none. Written and read only by
  // the thread that opens.
  std::array<char, 160> openFailure{};
};

// Opens name (as listed; the backend adds any device-namespace prefix) in the
// given mode. 0, or 2, 3, 5; on failure the connection holds no port.
StatusCode openPort(PortConnection& connection, const char* name, const char* mode);

// The system's reason for the last failed open, in UTF-8 ("Permission
// denied"); "" when it succeeded or the system gave no reason.
const char* openFailureText(const PortConnection& connection);

// Raises RTS, then DTR; results ignored (a pty cannot).
void raiseControlLines(PortConnection& connection);

// Pauses 1 ms, then releases the port, or leaves that to the transaction in
// progress. Closing when no port is open does nothing.
void closePort(PortConnection& connection);

bool isPortOpen(const PortConnection& connection);

// For a transaction: takes the handle for use, or returns kNoPort when the
// port is closed or being closed. Every successful acquire is followed by one
// releasePortUse.
PortHandle acquirePortUse(PortConnection& connection);
void releasePortUse(PortConnection& connection);
