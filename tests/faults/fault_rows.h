// The fault matrix of the reader (docs/faults.md): one row per fault a real
// line produces, each followed by a good read that must succeed. The same
// rows run through zort-read natively and through zort-read.exe under Wine.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/process_run.h"
#include "tests/support/reader_cases.h"
#include "tests/support/reader_rows.h"

enum class FolderKind {
  kNone,        // no report
  kWritable,    // a fresh empty folder
  kUnderAFile,  // a path below a regular file: no one can write there, not even root
};

struct FaultRow {
  const char* name;
  std::string scenario;  // the faulty reply first; the good one follows for the same code
  std::vector<std::string> arguments;
  FolderKind folder;
  int exitCode;
  ValueTexts values;
  std::string reportPrefix;  // how the report's name starts ("": no report expected)
  bool lineGone;             // the instrument vanished: the good read is on a new line
  int settleMs;              // the fault's late characters are on the line this long after the run
};

const std::vector<FaultRow>& faultRows();
void PrintTo(const FaultRow& row, std::ostream* out);

// Runs the row on a zort-sim of its own, then a good read on a good line;
// reports failures through GoogleTest.
void checkFaultRow(const FaultRow& row, const ReaderChannel& channel);
