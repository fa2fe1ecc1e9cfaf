#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <string>

#include "tools/zort-read/reader_platform.h"

bool isTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void prepareConsole() {
  // A file or a pipe takes the UTF-8 bytes as they are, with lines ended by
  // LF as on Linux: the same bytes on both. A console gets its text through
  // WriteConsoleW (os/console.h); its code page is left alone.
  (void)_setmode(_fileno(stdout), _O_BINARY);
  (void)_setmode(_fileno(stderr), _O_BINARY);
}

LocalTime localNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// The arguments come from the wide command line as UTF-8 already
// (os/command_line.h).
std::string nativeToUtf8(std::string_view text) { return std::string(text); }

bool startSimulator(SimulatorProcess&, std::string& error) {
  error = "--simulate needs zort-sim, which runs on Linux only";
  return false;
}

void stopSimulator(SimulatorProcess& simulator) { simulator = SimulatorProcess{}; }
