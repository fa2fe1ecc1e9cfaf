#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <array>
#include <cstdio>
#include <string>

#include "text/wide_text.h"
#include "tools/zort-read/reader_platform.h"

bool isTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void prepareConsole() {
  // A console shows the UTF-8 output as text; a pipe takes the bytes as they
  // are, with lines ended by LF as on Linux: the same bytes on both.
  (void)SetConsoleOutputCP(CP_UTF8);
  (void)_setmode(_fileno(stdout), _O_BINARY);
  (void)_setmode(_fileno(stderr), _O_BINARY);
}

namespace {

long long minutesOf(const SYSTEMTIME& time) {
  FILETIME file{};
  if (!SystemTimeToFileTime(&time, &file)) return 0;
  const unsigned long long ticks =
      (static_cast<unsigned long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  return static_cast<long long>(ticks / 600000000ULL);  // 100 ns ticks in a minute
}

}  // namespace

LocalTime localNow() { return zonedNow().local; }

ZonedTime zonedNow() {
  SYSTEMTIME utc{};
  GetSystemTime(&utc);
  SYSTEMTIME local = utc;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) GetLocalTime(&local);
  // The two differ by whole minutes (offsets are); truncated alike.
  const int offset = static_cast<int>(minutesOf(local) - minutesOf(utc));
  return {{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond},
          offset};
}

void sleepMs(uint32_t milliseconds) { Sleep(milliseconds); }

std::string nativeToUtf8(std::string_view text) {
  const std::string utf8 = fromWide(CP_UTF8, toWide(CP_ACP, text));
  return utf8.empty() ? std::string(text) : utf8;
}

bool startSimulator(SimulatorProcess&, std::string& error) {
  error = "--simulate needs zort-sim, which runs on Linux only";
  return false;
}

void stopSimulator(SimulatorProcess& simulator) { simulator = SimulatorProcess{}; }
