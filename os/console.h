// The program's standard streams and command line: one file per platform.
// Text for the streams is UTF-8 inside the program. On a Windows console it
// goes out as UTF-16 through WriteConsoleW, whole, so that it reads right
// whatever the console's code page, which stays as the user has it; to a
// file or a pipe (and on Linux) the UTF-8 bytes go as they are.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

bool isTerminal(FILE* stream);

// Standard output and error in binary mode (Windows): lines end in LF as on
// Linux. Nothing elsewhere.
void prepareConsole();

// Writes text to stream (stdout or stderr).
void writeText(FILE* stream, std::string_view text);

// The same with printf formatting.
void printText(FILE* stream, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));

// A command-line argument, or a path built from one, as UTF-8: the text
// itself, since the arguments are UTF-8 on every platform
// (os/command_line.h).
std::string nativeToUtf8(std::string_view text);
