// The port backend on Windows serial communications (kernel32), synchronous.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "serial/port_backend.h"

namespace {

HANDLE win32Handle(PortHandle handle) { return reinterpret_cast<HANDLE>(handle); }

// Ports above COM9 open only through the device namespace; every listed
// name is opened that way, COM1 as well as COM10.
constexpr const char* kDeviceNamespace = "\\\\.\\";

// A read returns what has arrived and waits at most 40 ms; writes have no
// time-out.
COMMTIMEOUTS portTimeouts() {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = kReadWaitMs;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 0;
  return timeouts;
}

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
  DCB settings{};
  settings.DCBlength = sizeof settings;
  // The conversion's result is not looked at: SetCommState decides.
  (void)BuildCommDCBA(mode, &settings);
  return SetCommState(win32Handle(handle), &settings) != FALSE;
}

bool backendApplyTimeouts(PortHandle handle) {
  COMMTIMEOUTS timeouts = portTimeouts();
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

size_t backendWrite(PortHandle handle, const char* characters, size_t count) {
  DWORD written = 0;
  const DWORD asked = count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
  if (!WriteFile(win32Handle(handle), characters, asked, &written, nullptr)) return 0;
  return written;
}

size_t backendRead(PortHandle handle, char* destination, size_t count) {
  DWORD got = 0;
  const DWORD asked = count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
  if (asked == 0 || !ReadFile(win32Handle(handle), destination, asked, &got, nullptr)) return 0;
  return got;
}

void backendClose(PortHandle handle) { (void)CloseHandle(win32Handle(handle)); }
