// The command line of zort-read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ReaderMode { kRead, kList, kHelp, kVersion };

// One KEY=VALUE of --expect: the value's table position and the text
// expected, surrounding spaces removed, as given (the platform's encoding).
struct ExpectedValue {
  size_t position;
  std::string text;
};

struct ReaderOptions {
  ReaderMode mode = ReaderMode::kRead;
  bool json = false;
  bool trace = false;
  bool simulate = false;  // read the built-in simulated instrument
  bool allPorts = false;  // read every port --list finds
  bool report = false;
  std::string reportDirectory;
  std::vector<std::string> ports;        // in the order given
  std::vector<ExpectedValue> expected;   // empty without --expect
  std::string expectProfile;             // what --expect named: its text, or @FILE's FILE
  std::string expectFile;                // FILE of --expect @FILE, read by loadExpectFile
  std::string journalPath;               // empty without --journal
  uint32_t retries = 0;
  bool watch = false;        // the station: read each instrument as it is connected
  std::string station;       // --station; "" for the host name
  std::string operatorName;  // --operator
  bool bell = false;
  bool noColor = false;
};

// A usage error ends the program with this code and one line on stderr.
constexpr int kUsageExitCode = 64;

// The most --retries takes.
constexpr uint32_t kMaxRetries = 100;

// true, or false with a one-line reason in error.
bool parseReaderOptions(int argc, const char* const* argv, ReaderOptions& options,
                        std::string& error);

// Parses the text of --expect into expected; false with a reason in error.
bool parseExpectList(std::string_view text, std::vector<ExpectedValue>& expected,
                     std::string& error);

// The lines of an --expect @FILE: KEY=VALUE a line; empty lines and lines
// that start with '#' are left out. false with a reason in error.
bool parseExpectFile(std::string_view text, std::vector<ExpectedValue>& expected,
                     std::string& error);

// Reads the file of --expect @FILE into options.expected; false with a reason.
bool loadExpectFile(ReaderOptions& options, std::string& error);

// Windows-1251, like every text of the program.
const char* readerUsage();
