// The reader cases that run natively (zort-read) and under Wine
// (zort-read.exe) alike, and what both test programs check them with.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "protocol/parameters.h"
#include "tests/support/files.h"
#include "tests/support/process_run.h"
#include "tests/support/sim_process.h"

// Stands in an argument list for the port the run reads.
constexpr const char* kPortArgument = "{PORT}";
// Stands for all the ports of a several-port case, in order.
constexpr const char* kPortsArgument = "{PORTS}";

using ValueTexts = std::array<std::string, kParameterCount>;  // UTF-8, request order

struct ReaderCase {
  const char* name;
  std::string scenario;  // for zort-sim
  std::vector<std::string> arguments;
  int exitCode;
  ValueTexts values;  // in the JSON object
};

const std::vector<ReaderCase>& readerCases();

// A port of a several-port case: the scenario of the sim behind it (or no
// instrument: the port cannot be opened) and the JSON object expected.
constexpr const char* kNoInstrument = "";

struct PortCase {
  std::string scenario;
  int status;
  ValueTexts values;
  std::string verification;  // the JSON object's "match" and "mismatches", or ""
};

// Several ports read at once, with --expect and --retries: the same table
// natively and under Wine.
struct LineCase {
  const char* name;
  std::vector<PortCase> ports;
  std::vector<std::string> arguments;  // kPortsArgument for the ports
  int exitCode;
};

const std::vector<LineCase>& lineCases();

std::vector<std::string> withPorts(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& ports);

// One sim per port of a case, unpaced; none where the port has no
// instrument (its linePath stays "").
struct CaseSims {
  std::vector<SimProcess> sims;
  std::vector<std::string> scenarioPaths;
};

bool startCaseSims(CaseSims& sims, const std::vector<PortCase>& ports, std::string& error);
void stopCaseSims(CaseSims& sims);

// The JSON Lines a case prints, one object per port in order.
std::string expectedJsonLines(const LineCase& lineCase, const std::vector<std::string>& ports);

std::vector<std::string> withPort(const std::vector<std::string>& arguments,
                                  const std::string& port);

// The JSON object zort-read prints for a port, status and values; with
// --expect, verification is its "match" and "mismatches" part.
std::string expectedJson(const std::string& port, int status, const ValueTexts& values,
                         const std::string& verification = "");

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

// Runs zort-read natively (the program at path) with the arguments.
ProcessResult runNativeReader(const std::string& path, const std::vector<std::string>& arguments,
                              int timeoutMs = 60000);

// The cycle time in the last line of a --trace run's stderr, or -1.
long long tracedCycleMs(const std::string& err);
