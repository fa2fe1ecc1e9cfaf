#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string_view>

#include "os/system_error.h"

SystemErrorCode lastSystemError() { return static_cast<SystemErrorCode>(GetLastError()); }

void systemErrorText(SystemErrorCode code, char* destination, size_t size) {
  if (size == 0) return;
  // The W function and an explicit conversion: the text comes out right
  // whatever the system's ANSI code page.
  wchar_t text[512] = {};
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                     text, static_cast<DWORD>(std::size(text)), nullptr);
  int converted = 0;
  if (length > 0)
    converted = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), destination,
                                    static_cast<int>(size) - 1, nullptr, nullptr);
  if (converted <= 0) {
    std::snprintf(destination, size, "error %lu", static_cast<unsigned long>(code));
    return;
  }
  std::string_view shown(destination, static_cast<size_t>(converted));
  while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r' ||
                            shown.back() == ' ' || shown.back() == '.'))
    shown.remove_suffix(1);
  destination[shown.size()] = '\0';
}
