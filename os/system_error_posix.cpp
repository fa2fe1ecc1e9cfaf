#include <cerrno>
#include <cstdio>
#include <cstring>

#include "os/system_error.h"

SystemErrorCode lastSystemError() { return static_cast<SystemErrorCode>(errno); }

void systemErrorText(SystemErrorCode code, char* destination, size_t size) {
  if (size == 0) return;
  char buffer[256] = {};
  // The GNU strerror_r: the text may be returned in place of the buffer.
  const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
  if (text == nullptr || text[0] == '\0')
    std::snprintf(destination, size, "error %lu", static_cast<unsigned long>(code));
  else
    std::snprintf(destination, size, "%s", text);
}
