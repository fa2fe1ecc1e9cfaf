// The command line of zort-read.
#pragma once

#include <string>

enum class ReaderMode { kRead, kList, kHelp };

struct ReaderOptions {
  ReaderMode mode = ReaderMode::kRead;
  bool json = false;
  bool trace = false;
  bool simulate = false;  // read the built-in simulated instrument
  bool report = false;
  std::string reportDirectory;
  std::string port;
};

// A usage error ends the program with this code and one line on stderr.
constexpr int kUsageExitCode = 64;

// true, or false with a one-line reason in error.
bool parseReaderOptions(int argc, const char* const* argv, ReaderOptions& options,
                        std::string& error);

// Windows-1251, like every text of the program.
const char* readerUsage();
