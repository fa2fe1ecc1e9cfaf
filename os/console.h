// The program's standard streams and command line: one file per platform.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

bool isTerminal(FILE* stream);

// Lets a console show UTF-8 (Windows); nothing elsewhere.
void prepareConsole();

// A command-line argument, or a path built from one, as UTF-8.
std::string nativeToUtf8(std::string_view text);
