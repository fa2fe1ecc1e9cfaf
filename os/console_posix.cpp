#include <unistd.h>

#include "os/console.h"

bool isTerminal(FILE* stream) { return isatty(fileno(stream)) == 1; }

void prepareConsole() {}

void writeText(FILE* stream, std::string_view text) {
  (void)std::fwrite(text.data(), 1, text.size(), stream);
}

std::string nativeToUtf8(std::string_view text) { return std::string(text); }
