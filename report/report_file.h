// The platform's file operations the report needs. Paths are UTF-8: Linux
// takes them as they are, Windows converted to UTF-16 for its W functions,
// so every character of a name survives whatever the system's code page.
#pragma once

#include <cstdio>
#include <string>

// Creates or truncates the file for writing without line-end translation.
FILE* createFile(const std::string& path);

// Moves a finished file over the final name, replacing a file of that name.
bool replaceFile(const std::string& from, const std::string& to);

void removeFile(const std::string& path);
