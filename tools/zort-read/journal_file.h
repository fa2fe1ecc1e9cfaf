// Appending to the journal file: one file per platform (journal_file_posix.cpp,
// journal_file_win32.cpp). Each row reaches the file in one append, so that
// several zort-read processes can share a journal without mixing rows.
#pragma once

#include <string>

// Appends row to the file at path (UTF-8; W calls on Windows). A file that is
// not there yet is made whole with header and row together, and appears
// under its name only then; an empty file gets the header with the row.
// false with the system's reason in error (UTF-8, os/system_error.h).
bool appendJournalRow(const std::string& path, const std::string& header, const std::string& row,
                      std::string& error);
