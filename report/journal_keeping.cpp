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

// The side file's rows, taken from it for this process alone: the file is
// first moved under a name of our own, so that two processes never both
// move its rows, and a row set aside meanwhile starts a new side file
// instead of landing in one that is about to go. false when there is no
// side file, or one of another format, which stays where it is.
struct ClaimedRows {
  std::string path;  // the side file under its new name
  std::string text;  // as read after the move
  std::string rows;
  size_t count = 0;
};

bool claimPendingRows(const std::string& pending, const std::string& header, ClaimedRows& claimed) {
  std::string text, rows;
  size_t count = 0;
  if (!readFileContent(pending, text).ok() || !takePendingRows(text, header, rows, count))
    return false;
  claimed.path = nameOfOurOwn(pending, ".moving");
  if (!replaceFile(pending, claimed.path).ok()) return false;  // another process took it
  return readFileContent(claimed.path, claimed.text).ok() &&
         takePendingRows(claimed.text, header, claimed.rows, claimed.count);
}

// Rows a writer appended to the claimed file after it was read: a writer
// that opened the side file just before it moved.
std::string rowsWrittenSince(const ClaimedRows& claimed) {
  std::string text;
  if (!readFileContent(claimed.path, text).ok() || text.size() <= claimed.text.size()) return "";
  std::string late = text.substr(claimed.text.size());
  if (!late.ends_with(kJournalRowEnd)) late += kJournalRowEnd;
  return late;
}

// A claimed side file whose rows could not go into the journal goes back
// under its name, or, when a new side file has been started meanwhile, its
// rows are added to that one.
void returnClaimedRows(const std::string& pending, const std::string& header,
                       const ClaimedRows& claimed) {
  if (moveIntoPlace(claimed.path, pending).ok()) return;
  std::string rows = claimed.rows + rowsWrittenSince(claimed);
  bool foreign = false;
  if (appendRows(pending, header, rows, foreign).ok() && !foreign) (void)removeFile(claimed.path);
}

}  // namespace

std::string pendingJournalPath(const std::string& journal) { return journal + ".pending.csv"; }

JournalKeeping keepJournalRow(const std::string& path, const std::string& header,
                              const std::string& row) {
  JournalKeeping keeping;
  const std::string pending = pendingJournalPath(path);
  ClaimedRows claimed;
  const bool havePending = claimPendingRows(pending, header, claimed);

  bool foreign = false;
  OsResult result = appendRows(path, header, claimed.rows + row, foreign);
  if (result.ok() && !foreign) {
    keeping.kept = JournalKept::kInJournal;
    keeping.movedRows = claimed.count;
    if (!havePending) return keeping;
    const std::string late = rowsWrittenSince(claimed);
    if (!late.empty()) {
      // Into the journal after the row; should that fail, back to the side
      // file; should both fail, the claimed file stays, rows and all.
      if (!appendRows(path, header, late, foreign).ok() &&
          !appendRows(pending, header, late, foreign).ok())
        return keeping;
    }
    // The rows are in the journal now; a side file that stayed would bring
    // them a second time.
    (void)removeFile(claimed.path);
    return keeping;
  }
  if (havePending) returnClaimedRows(pending, header, claimed);
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
