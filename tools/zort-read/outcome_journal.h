// An instrument's row in the --journal, kept whatever holds the journal, and
// what stderr is told about it. Shared by the single read and the station.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/results.h"
#include "protocol/status.h"
#include "os/local_time.h"
#include "tools/zort-read/reader_options.h"
#include "tools/zort-read/verdict.h"

// What every row of one run has in common (UTF-8).
struct JournalColumns {
  std::string station;  // --station, or the host name
  std::string operatorName;
  std::string profile;  // what --expect named, or ""
};

JournalColumns journalColumns(const ReaderOptions& options);

// One instrument's read, as the journal takes it.
struct JournalOutcome {
  std::string port;  // UTF-8
  Verdict verdict;
  StatusCode status;
  const ResultStore* results;
  uint32_t tries;  // 0: the port did not open
  ZonedTime time;
};

// Appends the row (or keeps it beside a locked journal, telling so on
// stderr). 0 when the row was kept; 9 when it was not, told on stderr with
// the reason.
int journalOutcome(const ReaderOptions& options, const JournalColumns& columns,
                   const JournalOutcome& outcome);

// "zort-read: SUBJECT: TEXT (REASON)\n" on stderr; the program's text
// converted, the reason (the system's words, UTF-8) only when there is one.
void printMessage(const std::string& subject, const char* programText,
                  const std::string& reason = "");
