#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "os/console.h"
#include "text/wide_text.h"

bool isTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void prepareConsole() {
  // A console shows the UTF-8 output as text; a pipe takes the bytes as they
  // are, with lines ended by LF as on Linux: the same bytes on both.
  (void)SetConsoleOutputCP(CP_UTF8);
  (void)_setmode(_fileno(stdout), _O_BINARY);
  (void)_setmode(_fileno(stderr), _O_BINARY);
}

std::string nativeToUtf8(std::string_view text) {
  const std::string utf8 = fromWide(CP_UTF8, toWide(CP_ACP, text));
  return utf8.empty() ? std::string(text) : utf8;
}
