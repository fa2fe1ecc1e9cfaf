// What each platform supplies to the port layer: one file per platform
// (port_win32.cpp, port_posix.cpp), chosen by the build.
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/status.h"

// A Win32 HANDLE or a POSIX file descriptor.
using PortHandle = intptr_t;
constexpr PortHandle kNoPort = -1;

// The functions below are the whole platform surface of the port layer. None
// of them keeps state; the front end (port.cpp, transaction.cpp) holds it.
// A failing one leaves the system's reason in lastSystemError()
// (os/system_error.h).

// Opens a listed port name for reading and writing, unshared, synchronous.
// A port another process has open (and holds so) is not opened.
// Windows opens every name in the device namespace ("\\.\COM10"), so that
// ports above COM9 open too. false when the device cannot be opened.
bool backendOpenDevice(const char* name, PortHandle* handle);

// Whether the system's error of a failed backendOpenDevice means that
// another program holds the port: a POSIX port is opened exclusively
// (flock, as other serial tools do, and TIOCEXCL), a Windows port is
// unshared and gives ERROR_ACCESS_DENIED to a second open.
bool backendPortBusy(uint32_t systemError);

// Converts the mode string ("1200,n,8,1") to line settings and applies them,
// without flow control. false when the device rejects them.
bool backendApplyLineMode(PortHandle handle, const char* mode);

// A read returns what has arrived, up to the number asked for, and waits at
// most kReadWaitMs for it; writes have no time-out. false when rejected.
constexpr uint32_t kReadWaitMs = 40;
bool backendApplyTimeouts(PortHandle handle);

// Driver queues of 8192 bytes each way, where the platform has them.
constexpr uint32_t kPortQueueSize = 8192;
void backendSetupQueues(PortHandle handle);

// Raise one modem control line; a device without them (a pty) ignores it.
void backendRaiseRts(PortHandle handle);
void backendRaiseDtr(PortHandle handle);

// Discards everything pending in both directions.
void backendPurge(PortHandle handle);

// Writes up to count characters; returns the number written, 0 on failure.
size_t backendWrite(PortHandle handle, const char* characters, size_t count);

// Reads up to count characters, waiting at most kReadWaitMs; returns the
// number read, 0 after that much silence or on failure.
size_t backendRead(PortHandle handle, char* destination, size_t count);

void backendClose(PortHandle handle);
