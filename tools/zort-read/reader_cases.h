// The reader cases that run natively (zort-read) and under Wine
// (zort-read.exe) alike, and what both test programs check them with.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "protocol/parameters.h"
#include "tests/support/files.h"

// Stands in an argument list for the port the run reads.
constexpr const char* kPortArgument = "{PORT}";

using ValueTexts = std::array<std::string, kParameterCount>;  // UTF-8, request order

struct ReaderCase {
  const char* name;
  std::string scenario;  // for zort-sim
  std::vector<std::string> arguments;
  int exitCode;
  ValueTexts values;  // in the JSON object
};

const std::vector<ReaderCase>& readerCases();

std::vector<std::string> withPort(const std::vector<std::string>& arguments,
                                  const std::string& port);

// The JSON object zort-read prints for a port, status and values.
std::string expectedJson(const std::string& port, int status, const ValueTexts& values);

// The test instrument's values up to (not including) position; the checksum
// preset of the software version stays when position 0 was read.
ValueTexts valuesBefore(size_t position);

// The test instrument's values as UTF-8.
ValueTexts instrumentValues();

// zort-read's plain output for the test instrument.
std::string expectedValueLines();

// The report file's bytes for the test instrument: the program's texts as
// the build stores them (Windows-1251 in the product builds).
std::string expectedReportText();

// "<serial>_<d>-<mm>-<yyyy>_<hh>_<mm>_<ss>.txt", the day padded with a space.
bool isReportName(const std::string& name, const std::string& serialPart);


// The cycle time in the last line of a --trace run's stderr, or -1.
long long tracedCycleMs(const std::string& err);
