#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <string>

#include "tools/zort-read/reader_platform.h"

bool isTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void prepareConsole() {
  // A console shows the UTF-8 output as text; a pipe takes the bytes as they
  // are, with lines ended by LF as on Linux: the same bytes on both.
  (void)SetConsoleOutputCP(CP_UTF8);
  (void)_setmode(_fileno(stdout), _O_BINARY);
  (void)_setmode(_fileno(stderr), _O_BINARY);
}

LocalTime localNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string nativeToUtf8(std::string_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (wideLength <= 0) return std::string(text);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), wideLength);
  const int utf8Length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (utf8Length <= 0) return std::string(text);
  std::string utf8(static_cast<size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                      nullptr);
  return utf8;
}

std::string nativeFileName(std::string_view cp1251Name) { return std::string(cp1251Name); }

bool startSimulator(SimulatorProcess&, std::string& error) {
  error = "--simulate needs zort-sim, which runs on Linux only";
  return false;
}

void stopSimulator(SimulatorProcess& simulator) { simulator = SimulatorProcess{}; }
