#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <string>

#include "os/console.h"
#include "text/wide_text.h"

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

}  // namespace

bool isTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void prepareConsole() {
  // A file or a pipe takes the UTF-8 bytes as they are, with lines ended by
  // LF as on Linux: the same bytes on both. A console gets its text through
  // WriteConsoleW; its code page is left alone.
  (void)_setmode(_fileno(stdout), _O_BINARY);
  (void)_setmode(_fileno(stderr), _O_BINARY);
}

void writeText(FILE* stream, std::string_view text) {
  const HANDLE console = consoleOf(stream);
  if (console == nullptr) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  // What the stream holds goes first, so that the order stays.
  std::fflush(stream);
  const std::wstring wide = toWide(CP_UTF8, text);
  size_t done = 0;
  while (done < wide.size()) {
    DWORD written = 0;
    const DWORD asked = static_cast<DWORD>(wide.size() - done);
    if (!WriteConsoleW(console, wide.data() + done, asked, &written, nullptr) || written == 0)
      return;
    done += written;
  }
}

std::string nativeToUtf8(std::string_view text) { return std::string(text); }
