// The program's arguments in UTF-8, whatever the system's code page. One
// file per platform.
#pragma once

#include <string>
#include <vector>

// Windows: from the wide command line (GetCommandLineW, CommandLineToArgvW),
// so that a Cyrillic file name survives a Western system's ANSI code page;
// argc and argv are used only when that fails. Linux: argv as given.
std::vector<std::string> commandLineArguments(int argc, char** argv);
