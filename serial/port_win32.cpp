// The port backend on Windows serial communications (kernel32), synchronous.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "serial/line_settings_win32.h"
#include "serial/port_backend.h"

namespace {

HANDLE win32Handle(PortHandle handle) { return reinterpret_cast<HANDLE>(handle); }

// Ports above COM9 open only through the device namespace; every listed
// name is opened that way, COM1 as well as COM10.
constexpr const char* kDeviceNamespace = "\\\\.\\";

}  // namespace

bool backendOpenDevice(const char* name, PortHandle* handle) {
  if (name == nullptr || name[0] == '\0') {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  char path[MAX_PATH];
  const bool prefixed = std::strncmp(name, kDeviceNamespace, 4) == 0;
  const int length =
      std::snprintf(path, sizeof path, "%s%s", prefixed ? "" : kDeviceNamespace, name);
  if (length < 0 || static_cast<size_t>(length) >= sizeof path) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  const HANDLE opened = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return false;
  *handle = reinterpret_cast<PortHandle>(opened);
  return true;
}

bool backendPortBusy(uint32_t systemError) {
  return systemError == ERROR_ACCESS_DENIED || systemError == ERROR_SHARING_VIOLATION;
}

bool backendApplyLineMode(PortHandle handle, const char* mode) {
  // From the driver's own settings, which carry what the mode string does
  // not name; SetCommState decides.
  DCB current{};
  current.DCBlength = sizeof current;
  if (!GetCommState(win32Handle(handle), &current)) {
    current = DCB{};
    current.DCBlength = sizeof current;
  }
  DCB settings = instrumentLineSettings(current, mode);
  return SetCommState(win32Handle(handle), &settings) != FALSE;
}

bool backendApplyTimeouts(PortHandle handle) {
  COMMTIMEOUTS timeouts = instrumentTimeouts();
  return SetCommTimeouts(win32Handle(handle), &timeouts) != FALSE;
}

void backendSetupQueues(PortHandle handle) {
  (void)SetupComm(win32Handle(handle), kPortQueueSize, kPortQueueSize);
}

// EscapeCommFunction fails on a line without modem control (Wine's pty).
void backendRaiseRts(PortHandle handle) { (void)EscapeCommFunction(win32Handle(handle), SETRTS); }

void backendRaiseDtr(PortHandle handle) { (void)EscapeCommFunction(win32Handle(handle), SETDTR); }

void backendPurge(PortHandle handle) {
  (void)PurgeComm(win32Handle(handle), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR |
                                           PURGE_RXCLEAR);
}

bool backendWrite(PortHandle handle, const char* characters, size_t count, size_t* written) {
  DWORD put = 0;
  const DWORD asked = count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
  *written = 0;
  if (!WriteFile(win32Handle(handle), characters, asked, &put, nullptr)) return false;
  *written = put;
  // The write time-out ends a write successfully, with what it wrote.
  if (put == 0 && asked != 0) {
    SetLastError(ERROR_TIMEOUT);
    return false;
  }
  return true;
}

bool backendRead(PortHandle handle, char* destination, size_t count, size_t* got) {
  DWORD read = 0;
  const DWORD asked = count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
  *got = 0;
  if (asked == 0) return true;
  if (!ReadFile(win32Handle(handle), destination, asked, &read, nullptr)) return false;
  *got = read;
  return true;
}

void backendClose(PortHandle handle) { (void)CloseHandle(win32Handle(handle)); }
