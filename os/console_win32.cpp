#include <windows.h>

#include <string>

#include "os/console.h"

namespace {

// The console behind the stream, or nullptr when it goes to a file or a
// pipe (GetConsoleMode succeeds on a console only).
HANDLE consoleOf(FILE* stream) {
  const DWORD which = stream == stdout   ? STD_OUTPUT_HANDLE
                      : stream == stderr ? STD_ERROR_HANDLE
                                         : 0;
  if (which == 0) return nullptr;
  const HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
    return nullptr;
  return handle;
}

std::wstring utf16(std::string_view text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
  if (length > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
  return wide;
}

}  // namespace

void writeText(FILE* stream, std::string_view text) {
  const HANDLE console = consoleOf(stream);
  if (console == nullptr) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  // What the stream holds goes first, so that the order stays.
  std::fflush(stream);
  const std::wstring wide = utf16(text);
  size_t done = 0;
  while (done < wide.size()) {
    DWORD written = 0;
    const DWORD asked = static_cast<DWORD>(wide.size() - done);
    if (!WriteConsoleW(console, wide.data() + done, asked, &written, nullptr) || written == 0)
      return;
    done += written;
  }
}
