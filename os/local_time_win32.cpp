#include <windows.h>

#include "os/local_time.h"

namespace {

long long minutesOf(const SYSTEMTIME& time) {
  FILETIME file{};
  if (!SystemTimeToFileTime(&time, &file)) return 0;
  const unsigned long long ticks =
      (static_cast<unsigned long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  return static_cast<long long>(ticks / 600000000ULL);  // 100 ns ticks in a minute
}

}  // namespace

LocalTime localTimeNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

ZonedTime zonedTimeNow() {
  SYSTEMTIME utc{};
  GetSystemTime(&utc);
  SYSTEMTIME local = utc;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) GetLocalTime(&local);
  // The two differ by whole minutes (offsets are); truncated alike.
  const int offset = static_cast<int>(minutesOf(local) - minutesOf(utc));
  return {{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond},
          offset};
}
