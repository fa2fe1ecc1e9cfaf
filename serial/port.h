// The one open serial port of the process, written once over the platform's
// port backend (serial/port_backend.h).
#pragma once

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

// Opened and closed by the UI thread, used by the worker's transactions. A
// close during a transaction is deferred: the handle is released by whichever
// side sees the port unused last, exactly once.
struct PortConnection {
  std::atomic<PortHandle> handle{kNoPort};
  std::atomic<uint32_t> state{0};
};

// Opens name (as listed; the backend adds any device-namespace prefix) in the
// given mode. 0, or 2, 3, 5; on failure the connection holds no port.
StatusCode openPort(PortConnection& connection, const char* name, const char* mode);

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
