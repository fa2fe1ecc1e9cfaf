// --journal: one row per instrument read, appended to a CSV file that Excel
// opens on a Russian Windows with every column in place: UTF-8 with a
// byte-order mark, fields separated by ';', quoted as RFC 4180 says, rows
// ended by CR LF. The columns are fixed, so that every row has the header's
// width whatever the options; a cell that does not apply is empty.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "os/local_time.h"
#include "protocol/results.h"
#include "protocol/status.h"

struct JournalEntry {
  ZonedTime time;
  std::string station;  // UTF-8, like every text here
  std::string operatorName;
  std::string port;
  std::string_view verdict;    // pass, fail, error
  StatusCode status;
  const ResultStore* results;  // Windows-1251 texts; empty ones not read
  std::string profile;         // what --expect named; "" without it
  uint32_t tries;              // the most tries one exchange took; 0: none made
  std::string version;         // the program's
};

// The byte-order mark and the header row, for a new journal; a journal that
// does not start with exactly these bytes is of another format.
std::string journalHeader();

// One row, in the header's columns.
std::string journalRow(const JournalEntry& entry);

// "2026-12-10T18:22:05+03:00".
std::string isoTimeWithOffset(const ZonedTime& time);

// A field as RFC 4180 wants it: in double quotes, inner quotes doubled,
// when it holds ';', '"', CR or LF; as it is otherwise.
std::string csvField(std::string_view text);

// The row end every row has.
constexpr std::string_view kJournalRowEnd = "\r\n";
