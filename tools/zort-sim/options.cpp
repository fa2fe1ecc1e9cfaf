#include "tools/zort-sim/options.h"

#include <charconv>

const char* const kSimUsage =
    "usage: zort-sim [--device PATH] [--scenario FILE] [--char-ms MS] [--turnaround-ms MS]\n"
    "                [--log FILE]\n"
    "       zort-sim --print-default\n"
    "Plays the instrument on a serial line. Without --device it opens a pseudo-terminal;\n"
    "either way the first line of output is the path of the line to use.\n"
    "  --char-ms MS        time of one character on the line (default 8.33; 0: no pacing)\n"
    "  --turnaround-ms MS  from a received request to its reply (default 20)\n"
    "  --log FILE          one line per request: <monotonic ms> <code> <behaviour>\n"
    "  --print-default     print the built-in scenario and exit\n";

namespace {

bool parseMilliseconds(std::string_view text, double& ms) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  if (!(value >= 0 && value <= 60000)) return false;
  ms = value;
  return true;
}

}  // namespace

std::string parseSimOptions(const std::vector<std::string_view>& arguments, SimOptions& options) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string_view name = arguments[i];
    std::string_view value;
    bool hasValue = false;
    const size_t equals = name.find('=');
    if (name.substr(0, 2) == "--" && equals != std::string_view::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
      hasValue = true;
    }
    if (name == "--print-default" || name == "--help" || name == "-h") {
      if (hasValue) return std::string(name) + " takes no value";
      (name == "--print-default" ? options.printDefault : options.help) = true;
      continue;
    }
    if (name != "--device" && name != "--scenario" && name != "--log" && name != "--char-ms" &&
        name != "--turnaround-ms")
      return "unknown option " + std::string(arguments[i]);
    if (!hasValue) {
      if (i + 1 >= arguments.size()) return std::string(name) + " needs a value";
      value = arguments[++i];
    }
    if (name == "--device") {
      options.device = value;
    } else if (name == "--scenario") {
      options.scenarioPath = value;
    } else if (name == "--log") {
      options.logPath = value;
    } else if (!parseMilliseconds(value, name == "--char-ms" ? options.charMs : options.turnaroundMs)) {
      return std::string(name) + " needs milliseconds from 0 to 60000, not \"" + std::string(value) + "\"";
    }
    if (value.empty()) return std::string(name) + " needs a value";
  }
  return "";
}
