// Appending to the journal file: one file per platform (journal_file_posix.cpp,
// journal_file_win32.cpp). Rows reach the file in one append, so that several
// zort-read processes can share a journal without mixing rows.
#pragma once

#include <string>

enum class JournalAppend {
  kWritten,
  kLocked,   // another program holds the file; nothing written
  kForeign,  // the file does not start with this header; nothing written
  kFailed,   // with the system's reason
};

// Appends rows (whole rows, each with its CR LF) to the file at path (the
// platform's encoding) in one write. A file that is not there yet is made
// whole with header and rows together, and appears under its name only then;
// an empty file gets the header with the rows. A last row cut short (no CR LF
// at the file's end) gets its line end first, so that the new rows start on a
// line of their own. Locked: a sharing violation on Windows (Excel holds an
// open CSV file so), an exclusive lock that another process keeps on the
// file for longer than a moment on POSIX. error: the system's reason (UTF-8)
// for kFailed.
JournalAppend appendJournalRows(const std::string& path, const std::string& header,
                                const std::string& rows, std::string& error);

// The whole file (a journal, a side file, an --expect file) into text; false when it is not there or cannot be read.
bool readFileText(const std::string& path, std::string& text);

// false with the system's reason in error.
bool removeJournalFile(const std::string& path, std::string& error);
