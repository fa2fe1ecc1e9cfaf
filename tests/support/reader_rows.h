// zort-read's runs that must come out the same natively and under Wine: the
// report it writes into a folder and the cycle paced like a 1200-baud line.
// One table; each test program runs it through its own channel, as the
// fault matrix does.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/process_run.h"
#include "tests/support/reader_cases.h"

// Stands in an argument list for a folder the report goes to.
constexpr const char* kFolderArgument = "{FOLDER}";

// How a test program reaches the reader and its line.
struct ReaderChannel {
  // Makes the reader's port stand for the line; gives the port name.
  bool (*connect)(const std::string& linePath, std::string& port, std::string& error);
  ProcessResult (*run)(const std::vector<std::string>& arguments);
  // A folder as the reader names it.
  std::string (*folder)(const std::string& unixPath);
  const char* name = "zort-read";  // in the measurements printed
};

// The native channel's parts: the port is the line's own path, a folder is
// named by its own path.
bool connectNativeLine(const std::string& linePath, std::string& port, std::string& error);
std::string nativeFolder(const std::string& unixPath);

struct ReaderRow {
  const char* name;  // a paced row's name holds "Paced": it runs alone
  std::vector<std::string> simArguments;
  std::vector<std::string> arguments;  // with kPortArgument, kFolderArgument
  bool report;  // a fresh folder; the run leaves the test instrument's report in it
  bool paced;   // the traced cycle takes about the line's time
};

const std::vector<ReaderRow>& readerRows();
void PrintTo(const ReaderRow& row, std::ostream* out);

// Runs the row against the test instrument on a zort-sim of its own;
// reports failures through GoogleTest.
void checkReaderRow(const ReaderRow& row, const ReaderChannel& channel);
