#include "tools/zort-read/outcome_journal.h"

#include <cstdio>

#include "os/host_name.h"
#include "text/cp1251.h"
#include "os/console.h"
#include "report/journal.h"
#include "report/journal_keeping.h"

JournalColumns journalColumns(const ReaderOptions& options) {
  return {options.station.empty() ? hostName() : nativeToUtf8(options.station),
          nativeToUtf8(options.operatorName), nativeToUtf8(options.expectProfile)};
}

void printMessage(const std::string& subject, const char* programText, const std::string& reason) {
  const std::string because = reason.empty() ? "" : " (" + reason + ")";
  printText(stderr, "zort-read: %s: %s%s\n", subject.c_str(),
               programTextToUtf8(programText).c_str(), because.c_str());
}

int journalOutcome(const ReaderOptions& options, const JournalColumns& columns,
                   const JournalOutcome& outcome) {
  const JournalEntry entry = {outcome.time,
                              columns.station,
                              columns.operatorName,
                              outcome.port,
                              verdictWord(outcome.verdict),
                              outcome.status,
                              outcome.results,
                              columns.profile,
                              outcome.tries,
                              ZORT_VERSION};
  const std::string journal = nativeToUtf8(options.journalPath);
  const std::string pending = pendingJournalPath(journal);
  const JournalKeeping keeping = keepJournalRow(journal, journalHeader(), journalRow(entry));
  switch (keeping.kept) {
    case JournalKept::kInJournal:
      if (keeping.movedRows > 0)
        printText(stderr, "zort-read: %s: %s %s: %zu\n", journal.c_str(),
                     programTextToUtf8("перенесены строки из").c_str(), pending.c_str(),
                     keeping.movedRows);
      return 0;
    case JournalKept::kPending:
      printText(stderr, "zort-read: %s: %s, %s %s\n", journal.c_str(),
                   programTextToUtf8(kJournalHeldText).c_str(),
                   programTextToUtf8("строка сохранена в").c_str(), pending.c_str());
      return 0;
    case JournalKept::kForeign:
      printMessage(journal, statusMessage(kStatusWriteFileFailed),
                   programTextToUtf8("журнал другого формата"));
      break;
    case JournalKept::kFailed:
      printMessage(journal, statusMessage(kStatusWriteFileFailed), keeping.reason);
      break;
  }
  return static_cast<int>(kStatusWriteFileFailed);
}
