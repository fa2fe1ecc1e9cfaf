#include <unistd.h>

#include "os/console.h"

bool isTerminal(FILE* stream) { return isatty(fileno(stream)) == 1; }

void prepareConsole() {}

std::string nativeToUtf8(std::string_view text) { return std::string(text); }
