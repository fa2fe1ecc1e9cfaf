#include "tools/zort-read/reader_options.h"

#include <string_view>

namespace {

constexpr std::string_view kReportOption = "--report";

bool isOption(std::string_view argument) { return argument.size() > 1 && argument[0] == '-'; }

// Flags that stand alone; false for any other argument.
bool takeFlag(std::string_view argument, ReaderOptions& options) {
  if (argument == "--json") {
    options.json = true;
  } else if (argument == "--trace") {
    options.trace = true;
  } else if (argument == "--simulate") {
    options.simulate = true;
  } else if (argument == "--list") {
    options.mode = ReaderMode::kList;
  } else if (argument == "--help" || argument == "-h") {
    options.mode = ReaderMode::kHelp;
  } else {
    return false;
  }
  return true;
}

bool takePort(std::string_view argument, ReaderOptions& options, bool& havePort,
              std::string& error) {
  if (havePort) {
    error = "more than one port given: " + options.port + ", " + std::string(argument);
    return false;
  }
  options.port = std::string(argument);
  havePort = true;
  return true;
}

// The combinations that make no sense, once every argument is read.
bool checkCombination(const ReaderOptions& options, bool havePort, std::string& error) {
  if (options.mode == ReaderMode::kHelp) return true;
  if (options.mode == ReaderMode::kList) {
    if (havePort || options.simulate || options.report || options.trace) {
      error = "--list takes no other argument than --json";
      return false;
    }
    return true;
  }
  if (havePort && options.simulate) {
    error = "give either a port or --simulate, not both";
    return false;
  }
  if (!havePort && !options.simulate) {
    error = "no port given (a device path such as /dev/ttyUSB0, or COM3 on Windows)";
    return false;
  }
  return true;
}

}  // namespace

bool parseReaderOptions(int argc, const char* const* argv, ReaderOptions& options,
                        std::string& error) {
  options = ReaderOptions{};
  bool havePort = false;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (optionsEnded || !isOption(argument)) {
      if (!takePort(argument, options, havePort, error)) return false;
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == kReportOption) {
      if (i + 1 >= argc) {
        error = "--report needs a folder";
        return false;
      }
      options.report = true;
      options.reportDirectory = argv[++i];
    } else if (argument.substr(0, kReportOption.size() + 1) == "--report=") {
      options.report = true;
      options.reportDirectory = std::string(argument.substr(kReportOption.size() + 1));
    } else if (!takeFlag(argument, options)) {
      error = "unknown option " + std::string(argument);
      return false;
    }
  }
  if (options.report && options.reportDirectory.empty()) {
    error = "--report needs a folder";
    return false;
  }
  return checkCombination(options, havePort, error);
}

const char* readerUsage() {
  return "usage: zort-read [--json] [--report DIR] [--trace] PORT\n"
         "       zort-read [--json] [--report DIR] [--trace] --simulate\n"
         "       zort-read [--json] --list\n"
         "Reads the identification of a ЗОРТ instrument on PORT (COM3 on Windows, a\n"
         "device path such as /dev/ttyUSB0 on Linux) and prints its six values.\n"
         "  --json        print one JSON object instead (with --list: one a line)\n"
         "  --report DIR  after a successful read, write the report file into DIR\n"
         "  --trace       write every exchange, with times, to standard error\n"
         "  --simulate    read the built-in simulated instrument (zort-sim)\n"
         "  --list        list the serial ports found, with what the system knows of them\n"
         "The exit status is the read's status code (0 on success); 64 for a usage error.\n";
}
