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
// binary, without flow control of any kind. false when the device rejects
// them.
bool backendApplyLineMode(PortHandle handle, const char* mode);

// A read returns what has arrived, up to the number asked for, and waits at
// most kReadWaitMs for it. A write of n characters gives up after
// kWriteWaitMs + n * kWriteWaitPerCharacterMs (1.17 s for a request, eight
// times its time on the line), so that a device that stops taking data
// cannot hold an exchange for ever. false when rejected.
constexpr uint32_t kReadWaitMs = 40;
constexpr uint32_t kWriteWaitMs = 1000;
constexpr uint32_t kWriteWaitPerCharacterMs = 10;
bool backendApplyTimeouts(PortHandle handle);

// Driver queues of 8192 bytes each way, where the platform has them.
constexpr uint32_t kPortQueueSize = 8192;
void backendSetupQueues(PortHandle handle);

// Raise one modem control line; a device without them (a pty) ignores it.
void backendRaiseRts(PortHandle handle);
void backendRaiseDtr(PortHandle handle);

// Discards everything pending in both directions.
void backendPurge(PortHandle handle);

// Writes up to count characters into *written. false when the system
// refused the write, or when the write time-out passed with no character
// written (the reason is then the system's time-out error).
bool backendWrite(PortHandle handle, const char* characters, size_t count, size_t* written);

// Reads up to count characters into *got, waiting at most kReadWaitMs; *got
// is 0 after that much silence. false when the system refused the read (an
// adapter pulled out, a line hung up).
bool backendRead(PortHandle handle, char* destination, size_t count, size_t* got);

void backendClose(PortHandle handle);
