// Text for the standard streams, in UTF-8 inside the program. On a Windows
// console it goes out as UTF-16 through WriteConsoleW, whole, so that it
// reads right whatever the console's code page, which stays as the user has
// it; to a file or a pipe (and on Linux) the UTF-8 bytes go as they are.
// One file per platform.
#pragma once

#include <cstdio>
#include <string_view>

// Writes text to stream (stdout or stderr).
void writeText(FILE* stream, std::string_view text);

// The same with printf formatting.
void printText(FILE* stream, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
