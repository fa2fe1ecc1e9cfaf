// --journal: one row per port read, appended to a CSV file that Excel opens
// on a Russian Windows with every column in place: UTF-8 with a byte-order
// mark, fields separated by ';', quoted as RFC 4180 says, rows ended by CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "os/local_time.h"
#include "os/result.h"
#include "protocol/results.h"
#include "protocol/status.h"

struct JournalEntry {
  LocalTime time;
  std::string port;  // UTF-8
  StatusCode status;
  const ResultStore* results;
  // With --expect: whether the values matched; no value when the read
  // failed (nothing was compared). Without --expect the column is left out.
  bool expectGiven;
  std::optional<bool> matched;
};

// The byte-order mark and the header row, for a new journal.
std::string journalHeader(bool expectGiven);

// One row: the local time (ISO 8601), the port, the status code and its
// text, the six values in report order, and the match result.
std::string journalRow(const JournalEntry& entry);

// A field as RFC 4180 wants it: in double quotes, inner quotes doubled,
// when it holds ';', '"', CR or LF; as it is otherwise.
std::string csvField(std::string_view text);

// Appends row to the journal at path (UTF-8), in one write, so that several
// processes can share a journal without mixing rows. A journal that is not
// there yet is made whole with header and row together and appears under
// its name only then; an empty file gets the header with the row.
OsResult appendJournalRow(const std::string& path, const std::string& header,
                          const std::string& row);
