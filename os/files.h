// Files, by UTF-8 paths on every platform: Linux takes them as they are,
// Windows through its W functions, so every character of a name survives
// whatever the system's code page. One file per platform (files_posix.cpp,
// files_win32.cpp) and the platform-free ways of putting them together
// (files.cpp).
#pragma once

#include <string>
#include <string_view>

#include "os/result.h"

// Creates the file, failing when a file of that name is there already, and
// writes content into it in one write call. Binary: no line-end translation.
OsResult createFileExclusive(const std::string& path, std::string_view content);

// Appends to an existing file in one write call, at its end even when other
// processes append at the same time. An empty file gets leadWhenEmpty
// before text, in the same write. Fails with fileIsMissing() when there is
// no such file.
OsResult appendToFile(const std::string& path, std::string_view leadWhenEmpty,
                      std::string_view text);

// Appends text in one write to an existing file that starts with head; an
// empty file gets head first, in the same write. A file that does not start
// with head is left untouched, and foreign is set. A file whose last line
// was cut short (it does not end with lineEnd) gets lineEnd before text, so
// that text starts on a line of its own. Fails with fileIsMissing() when
// there is no such file, and with fileIsHeld() when another program holds
// it: a sharing violation on Windows (Excel holds an open CSV file so); on
// POSIX an exclusive lock (flock) kept past half a second, as the appends
// take one for their check and write.
OsResult appendUnderHead(const std::string& path, std::string_view head, std::string_view lineEnd,
                         std::string_view text, bool& foreign);

// The whole file into content.
OsResult readFileContent(const std::string& path, std::string& content);

// Moves a file over another, replacing it.
OsResult replaceFile(const std::string& from, const std::string& to);

// Moves a file to a name that must be free: fails with fileExists() when a
// file of that name is there, which is then left as it is.
OsResult moveIntoPlace(const std::string& from, const std::string& to);

OsResult removeFile(const std::string& path);

// The error of a name that is taken, of a file that is not there, or of a
// file that another program holds.
bool fileExists(const OsResult& result);
bool fileIsMissing(const OsResult& result);
bool fileIsHeld(const OsResult& result);

// A name beside besidePath that no other thread or process uses:
// "<besidePath>.<process>-<n><ending>".
std::string nameOfOurOwn(const std::string& besidePath, std::string_view ending);

// Writes content into a new file in the folder of besidePath, under a name
// no other thread or process uses ("<besidePath>.<process>-<n>.part");
// temporaryPath names it.
OsResult writeTemporaryFile(const std::string& besidePath, std::string_view content,
                            std::string& temporaryPath);

// Makes the file path with content, appearing under its name only whole:
// written beside it first, then moved into place. Fails with fileExists()
// when the name is taken; never replaces a file. Nothing is left behind on
// a failure.
OsResult publishNewFile(const std::string& path, std::string_view content);

// Replaces (or makes) the file path with content, through a temporary file
// beside it: a failed write leaves the earlier file whole.
OsResult replaceFileContent(const std::string& path, std::string_view content);

// This process's number, for names of its own.
unsigned long currentProcessNumber();
