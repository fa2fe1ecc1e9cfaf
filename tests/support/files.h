// Whole files and scratch folders for tests.
#pragma once

#include <string>
#include <vector>

std::string readWholeFile(const std::string& path);  // "" when it cannot be read
bool writeWholeFile(const std::string& path, const std::string& bytes);

// Writes text into a new file under the temporary directory and returns its
// path ("" on failure); the caller removes it.
std::string writeTemporaryFile(const std::string& text, const char* nameHint = "zort-test");

// A new empty folder under the temporary directory ("" on failure).
std::string makeTemporaryDirectory(const char* nameHint = "zort-test");

// The names in a folder, without "." and "..".
std::vector<std::string> filesIn(const std::string& directory);

// Removes the files of a folder, then the folder (one level).
void removeDirectory(const std::string& directory);
