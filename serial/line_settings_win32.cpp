#include "serial/line_settings_win32.h"

#include "serial/port_backend.h"

namespace {

// The line of kLineMode ("1200,n,8,1"), field by field.
constexpr DWORD kBaudRate = CBR_1200;
constexpr BYTE kDataBits = 8;

}  // namespace

DCB instrumentLineSettings(const DCB& current, const char* mode) {
  DCB settings = current;
  settings.DCBlength = sizeof settings;
  (void)BuildCommDCBA(mode, &settings);

  settings.BaudRate = kBaudRate;
  settings.ByteSize = kDataBits;
  settings.Parity = NOPARITY;
  settings.StopBits = ONESTOPBIT;
  settings.fParity = FALSE;
  // Windows has no other mode.
  settings.fBinary = TRUE;

  settings.fOutxCtsFlow = FALSE;
  settings.fOutxDsrFlow = FALSE;
  settings.fDsrSensitivity = FALSE;
  settings.fOutX = FALSE;
  settings.fInX = FALSE;
  settings.fDtrControl = DTR_CONTROL_ENABLE;
  settings.fRtsControl = RTS_CONTROL_ENABLE;

  settings.fAbortOnError = FALSE;
  settings.fNull = FALSE;
  settings.fErrorChar = FALSE;

  settings.XonChar = kXonCharacter;
  settings.XoffChar = kXoffCharacter;
  return settings;
}

COMMTIMEOUTS instrumentTimeouts() {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
  timeouts.ReadTotalTimeoutConstant = kReadWaitMs;
  timeouts.WriteTotalTimeoutMultiplier = kWriteWaitPerCharacterMs;
  timeouts.WriteTotalTimeoutConstant = kWriteWaitMs;
  return timeouts;
}
