#include "tools/zort-read/reader_options.h"

#include <array>
#include <string_view>

#include "os/files.h"
#include "protocol/parameters.h"
#include "tools/zort-read/verification.h"

namespace {

bool isOption(std::string_view argument) { return argument.size() > 1 && argument[0] == '-'; }

// Flags that stand alone; false for any other argument.
bool takeFlag(std::string_view argument, ReaderOptions& options) {
  if (argument == "--json") {
    options.json = true;
  } else if (argument == "--trace") {
    options.trace = true;
  } else if (argument == "--simulate") {
    options.simulate = true;
  } else if (argument == "--all") {
    options.allPorts = true;
  } else if (argument == "--watch") {
    options.watch = true;
  } else if (argument == "--bell") {
    options.bell = true;
  } else if (argument == "--no-color") {
    options.noColor = true;
  } else if (argument == "--list") {
    options.mode = ReaderMode::kList;
  } else if (argument == "--help" || argument == "-h") {
    options.mode = ReaderMode::kHelp;
  } else if (argument == "--version") {
    options.mode = ReaderMode::kVersion;
  } else {
    return false;
  }
  return true;
}

// The options that take a value, as "--name VALUE" or "--name=VALUE".
enum class Valued { kReport, kExpect, kJournal, kRetries, kStation, kOperator };

struct ValuedOption {
  std::string_view name;
  Valued which;
  const char* needs;  // what a missing value is called in the error
};

constexpr std::array<ValuedOption, 6> kValuedOptions = {{
    {"--report", Valued::kReport, "a folder"},
    {"--expect", Valued::kExpect, "KEY=VALUE[,KEY=VALUE...] or @FILE"},
    {"--journal", Valued::kJournal, "a file"},
    {"--retries", Valued::kRetries, "a number"},
    {"--station", Valued::kStation, "a name"},
    {"--operator", Valued::kOperator, "a name"},
}};

// The valued option argument names, or nullptr; value is the text after
// "=" when there is one, and then inlined is set.
const ValuedOption* findValued(std::string_view argument, std::string_view& value, bool& inlined) {
  for (const auto& option : kValuedOptions) {
    if (argument == option.name) {
      inlined = false;
      return &option;
    }
    if (argument.size() > option.name.size() && argument.substr(0, option.name.size()) == option.name &&
        argument[option.name.size()] == '=') {
      value = argument.substr(option.name.size() + 1);
      inlined = true;
      return &option;
    }
  }
  return nullptr;
}

bool parseRetries(std::string_view text, uint32_t& retries, std::string& error) {
  uint32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9' || value > kMaxRetries) {
      value = kMaxRetries + 1;
      break;
    }
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (text.empty() || value > kMaxRetries) {
    error = "--retries takes a whole number from 0 to " + std::to_string(kMaxRetries) + ", not \"" +
            std::string(text) + "\"";
    return false;
  }
  retries = value;
  return true;
}

bool takeValue(const ValuedOption& option, std::string_view value, ReaderOptions& options,
               std::string& error) {
  switch (option.which) {
    case Valued::kReport:
      options.report = true;
      options.reportDirectory = std::string(value);
      if (value.empty()) error = "--report needs a folder";
      return !value.empty();
    case Valued::kExpect:
      if (!options.expectProfile.empty()) options.expectProfile += ",";
      options.expectProfile += std::string(value.starts_with('@') ? value.substr(1) : value);
      if (!value.starts_with('@')) return parseExpectList(value, options.expected, error);
      if (!options.expectFile.empty() || value.size() == 1) {
        error = value.size() == 1 ? "--expect @ needs a file" : "--expect @FILE given twice";
        return false;
      }
      options.expectFile = std::string(value.substr(1));
      return true;
    case Valued::kJournal:
      options.journalPath = std::string(value);
      if (value.empty()) error = "--journal needs a file";
      return !value.empty();
    case Valued::kRetries:
      return parseRetries(value, options.retries, error);
    case Valued::kStation:
      options.station = std::string(value);
      return true;
    case Valued::kOperator:
      options.operatorName = std::string(value);
      return true;
  }
  return false;
}

// The combinations that make no sense, once every argument is read.
bool checkCombination(const ReaderOptions& options, bool expectGiven, std::string& error) {
  if (options.mode == ReaderMode::kHelp || options.mode == ReaderMode::kVersion) return true;
  const bool havePort = !options.ports.empty();
  if (options.mode == ReaderMode::kList) {
    if (havePort || options.simulate || options.allPorts || options.report ||
        options.trace || expectGiven || !options.journalPath.empty() || options.retries != 0 ||
        options.watch) {
      error = "--list takes no other argument than --json";
      return false;
    }
    return true;
  }
  const int sources = (havePort ? 1 : 0) + (options.simulate ? 1 : 0) + (options.allPorts ? 1 : 0);
  if (sources > 1) {
    error = "give either ports, --all or --simulate";
    return false;
  }
  if (sources == 0) {
    error = "no port given (a device path such as /dev/ttyUSB0, or COM3 on Windows)";
    return false;
  }
  if (options.watch && options.report) {
    error = "--watch writes no reports (--report)";
    return false;
  }
  // Two workers on one line would answer each other's requests.
  for (size_t i = 0; i < options.ports.size(); ++i) {
    for (size_t j = i + 1; j < options.ports.size(); ++j) {
      if (options.ports[i] == options.ports[j]) {
        error = "port " + options.ports[i] + " given twice";
        return false;
      }
    }
  }
  return true;
}

}  // namespace

namespace {

// One KEY=VALUE; false with a reason when it is none, names no value or
// names one a second time. where: how a bad pair is shown.
bool takeExpectedPair(std::string_view pair, std::vector<ExpectedValue>& expected,
                      const std::string& where, std::string& error) {
  const size_t equals = pair.find('=');
  if (equals == std::string_view::npos) {
    error = where + " takes KEY=VALUE, not \"" + std::string(pair) + "\"";
    return false;
  }
  const std::string_view key = trimmedSpaces(pair.substr(0, equals));
  const size_t position = positionOfKey(key);
  if (position == kParameterCount) {
    error = where + ": unknown key \"" + std::string(key) +
            "\" (version, build, checksum, serial, bore, address)";
    return false;
  }
  for (const auto& earlier : expected) {
    if (earlier.position == position) {
      error = where + ": " + std::string(key) + " given twice";
      return false;
    }
  }
  expected.push_back({position, std::string(trimmedSpaces(pair.substr(equals + 1)))});
  return true;
}

}  // namespace

bool parseExpectList(std::string_view text, std::vector<ExpectedValue>& expected,
                     std::string& error) {
  for (;;) {
    const size_t comma = text.find(',');
    if (!takeExpectedPair(text.substr(0, comma), expected, "--expect", error)) return false;
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

bool parseExpectFile(std::string_view text, std::vector<ExpectedValue>& expected,
                     std::string& error) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark
  for (size_t number = 1; !text.empty(); ++number) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = trimmedSpaces(line);
    if (line.empty() || line.front() == '#') continue;
    if (!takeExpectedPair(line, expected, "line " + std::to_string(number), error)) return false;
  }
  if (expected.empty()) error = "no KEY=VALUE line";
  return !expected.empty();
}

bool loadExpectFile(ReaderOptions& options, std::string& error) {
  if (options.expectFile.empty()) return true;
  std::string text;
  if (!readFileContent(options.expectFile, text).ok()) {
    error = "--expect: cannot read " + options.expectFile;
    return false;
  }
  if (parseExpectFile(text, options.expected, error)) return true;
  error = "--expect " + options.expectFile + ", " + error;
  return false;
}

bool parseReaderOptions(int argc, const char* const* argv, ReaderOptions& options,
                        std::string& error) {
  options = ReaderOptions{};
  bool optionsEnded = false;
  bool expectGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    std::string_view value;
    bool inlined = false;
    if (optionsEnded || !isOption(argument)) {
      options.ports.emplace_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (const ValuedOption* option = findValued(argument, value, inlined)) {
      if (!inlined) {
        if (i + 1 >= argc) {
          error = std::string(option->name) + " needs " + option->needs;
          return false;
        }
        value = argv[++i];
      }
      expectGiven = expectGiven || option->which == Valued::kExpect;
      if (!takeValue(*option, value, options, error)) return false;
    } else if (!takeFlag(argument, options)) {
      error = "unknown option " + std::string(argument);
      return false;
    }
  }
  return checkCombination(options, expectGiven, error);
}

const char* readerUsage() {
  return "usage: zort-read [OPTIONS] PORT [PORT...]\n"
         "       zort-read [OPTIONS] --all\n"
         "       zort-read [OPTIONS] --simulate\n"
         "       zort-read --watch [OPTIONS] PORT [PORT...] | --all\n"
         "       zort-read [--json] --list\n"
         "       zort-read --version\n"
         "Reads the identification of ЗОРТ instruments on the PORTs (COM3 on Windows, a\n"
         "device path such as /dev/ttyUSB0 on Linux), all at the same time, and prints\n"
         "the six values of each.\n"
         "  --json           print one JSON object per port, one a line (also with --list)\n"
         "  --report DIR     after a successful read, write the report file into DIR\n"
         "  --expect KEY=VALUE[,KEY=VALUE...]\n"
         "                   compare the values read (keys: version, build, checksum,\n"
         "                   serial, bore, address); a difference gives exit status 11\n"
         "  --expect @FILE   the same from FILE: KEY=VALUE a line, # for comments\n"
         "  --journal FILE   append one row per port read to FILE (CSV with ';'); while\n"
         "                   another program holds it, rows wait in FILE.pending.csv\n"
         "  --station NAME   the journal's station (default: the host name)\n"
         "  --operator NAME  the journal's operator\n"
         "  --retries N      try an exchange that got no or a malformed answer up to\n"
         "                   N more times (default 0)\n"
         "  --trace          write every exchange, with times, to standard error\n"
         "  --all            read every port --list finds, but Bluetooth links and modems\n"
         "  --simulate       read the built-in simulated instrument (zort-sim)\n"
         "  --list           list the serial ports found, with what the system knows of them\n"
         "  --watch          a station: read each instrument as it is connected, give its\n"
         "                   verdict (pass, fail, error), until Ctrl-C\n"
         "  --bell           with --watch: ring on a fail or an error\n"
         "  --no-color       with --watch: plain display lines (as NO_COLOR does)\n"
         "  --version        print the program's version\n"
         "The exit status is 0 when every port was read (and matched); otherwise the\n"
         "largest status among the ports: the read's status code, 9 for a report or\n"
         "journal not written, 10 when interrupted, 11 for a difference from --expect;\n"
         "64 for a usage error. A station ends with 0 when every instrument passed, 11\n"
         "when one differed, otherwise the largest failure.\n";
}
