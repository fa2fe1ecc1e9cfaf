// The system's own words for a failure: errno's text on POSIX, the text of a
// GetLastError code on Windows, in UTF-8 and in the user's language, for the
// messages and traces people read. One file per platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// errno, or a Windows error code.
using SystemErrorCode = uint32_t;

// The calling thread's last error (errno, GetLastError); read it straight
// after the failing call, before any other call can change it.
SystemErrorCode lastSystemError();

// The code's text without the line end and full stop the system may put
// after it ("Permission denied", "Access is denied"); "error N" where the
// system has none. Thread-safe.
void systemErrorText(SystemErrorCode code, char* destination, size_t size);
std::string systemErrorText(SystemErrorCode code);
