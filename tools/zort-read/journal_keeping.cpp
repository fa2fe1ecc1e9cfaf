#include "tools/zort-read/journal_keeping.h"

#include "text/cp1251.h"
#include "tools/zort-read/journal_file.h"

namespace {

// The rows of a side file of this format: all after its header (a row its
// writer cut short gets a line end of its own). false for another file.
bool takePendingRows(const std::string& text, const std::string& header, std::string& rows,
                     size_t& count) {
  count = 0;
  if (text.compare(0, header.size(), header) != 0) return false;
  rows = text.substr(header.size());
  if (!rows.empty() && !rows.ends_with("\r\n")) rows += "\r\n";
  for (size_t at = 0; (at = rows.find("\r\n", at)) != std::string::npos; at += 2) ++count;
  return true;
}

}  // namespace

std::string pendingJournalPath(const std::string& journal) { return journal + ".pending.csv"; }

JournalKeeping keepJournalRow(const std::string& path, const std::string& header,
                              const std::string& row) {
  JournalKeeping keeping;
  const std::string pending = pendingJournalPath(path);
  std::string pendingText;
  size_t pendingCount = 0;
  std::string moved;
  const bool havePending = readFileText(pending, pendingText) &&
                           takePendingRows(pendingText, header, moved, pendingCount);

  switch (appendJournalRows(path, header, moved + row, keeping.reason)) {
    case JournalAppend::kWritten:
      keeping.kept = JournalKept::kInJournal;
      keeping.movedRows = pendingCount;
      // The rows are in the journal now; a side file that stayed would bring
      // them a second time.
      if (havePending) {
        std::string ignored;
        (void)removeJournalFile(pending, ignored);
      }
      return keeping;
    case JournalAppend::kForeign:
      keeping.kept = JournalKept::kForeign;
      return keeping;
    case JournalAppend::kFailed:
      keeping.kept = JournalKept::kFailed;
      return keeping;
    case JournalAppend::kLocked:
      break;
  }
  switch (appendJournalRows(pending, header, row, keeping.reason)) {
    case JournalAppend::kWritten: keeping.kept = JournalKept::kPending; break;
    case JournalAppend::kForeign: keeping.kept = JournalKept::kForeign; break;
    case JournalAppend::kLocked:
      keeping.kept = JournalKept::kFailed;
      keeping.reason = programTextToUtf8(kJournalHeldText);
      break;
    case JournalAppend::kFailed: keeping.kept = JournalKept::kFailed; break;
  }
  return keeping;
}
