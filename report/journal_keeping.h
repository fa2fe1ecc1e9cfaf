// A journal that never loses a row: while another program holds the journal
// (Excel keeps an open CSV file locked against writing), rows go to a side
// file beside it, "<journal>.pending.csv", with the same header; the next
// row that reaches the journal takes the pending rows with it, in order, and
// the side file is removed.
#pragma once

#include <cstddef>
#include <string>

// Windows-1251, like every text of the program.
constexpr const char* kJournalHeldText = "журнал занят другой программой";

enum class JournalKept {
  kInJournal,
  kPending,  // in the side file: kept, told on stderr
  kForeign,  // the journal is of another format: nothing written
  kFailed,   // nothing written, with the system's reason
};

struct JournalKeeping {
  JournalKept kept = JournalKept::kFailed;
  size_t movedRows = 0;  // pending rows moved into the journal with this one
  std::string reason;    // UTF-8, for kFailed
};

// "<journal>.pending.csv"
std::string pendingJournalPath(const std::string& journal);

// Keeps one row (with its CR LF) in the journal at path, or in its side file.
JournalKeeping keepJournalRow(const std::string& path, const std::string& header,
                              const std::string& row);
