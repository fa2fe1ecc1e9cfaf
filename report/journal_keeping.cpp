#include "report/journal_keeping.h"

#include "os/files.h"
#include "report/journal.h"
#include "text/cp1251.h"

namespace {

// The rows of a side file of this format: all after its header (a row its
// writer cut short gets a line end of its own). false for another file.
bool takePendingRows(const std::string& text, const std::string& header, std::string& rows,
                     size_t& count) {
  count = 0;
  if (text.compare(0, header.size(), header) != 0) return false;
  rows = text.substr(header.size());
  if (!rows.empty() && !rows.ends_with(kJournalRowEnd)) rows += kJournalRowEnd;
  for (size_t at = 0; (at = rows.find(kJournalRowEnd, at)) != std::string::npos; at += 2) ++count;
  return true;
}

// The rows appended to the file at path, which is made whole with header
// and rows when it is not there yet (and appears under its name only then).
// Twice at most: a file another process makes between our two looks is
// then appended to.
OsResult appendRows(const std::string& path, const std::string& header, const std::string& rows,
                    bool& foreign) {
  OsResult result;
  for (int attempt = 0; attempt < 2; ++attempt) {
    result = appendUnderHead(path, header, kJournalRowEnd, rows, foreign);
    if (!fileIsMissing(result)) return result;
    result = publishNewFile(path, header + rows);
    if (!fileExists(result)) return result;
  }
  return result;
}

}  // namespace

std::string pendingJournalPath(const std::string& journal) { return journal + ".pending.csv"; }

JournalKeeping keepJournalRow(const std::string& path, const std::string& header,
                              const std::string& row) {
  JournalKeeping keeping;
  const std::string pending = pendingJournalPath(path);
  std::string pendingText, moved;
  size_t pendingCount = 0;
  const bool havePending = readFileContent(pending, pendingText).ok() &&
                           takePendingRows(pendingText, header, moved, pendingCount);

  bool foreign = false;
  OsResult result = appendRows(path, header, moved + row, foreign);
  if (result.ok() && !foreign) {
    keeping.kept = JournalKept::kInJournal;
    keeping.movedRows = pendingCount;
    // The rows are in the journal now; a side file that stayed would bring
    // them a second time.
    if (havePending) (void)removeFile(pending);
    return keeping;
  }
  if (!fileIsHeld(result)) {
    keeping.kept = foreign ? JournalKept::kForeign : JournalKept::kFailed;
    keeping.reason = result.reason;
    return keeping;
  }
  result = appendRows(pending, header, row, foreign);
  keeping.kept = foreign ? JournalKept::kForeign : result.ok() ? JournalKept::kPending : JournalKept::kFailed;
  keeping.reason = fileIsHeld(result) ? programTextToUtf8(kJournalHeldText) : result.reason;
  return keeping;
}
