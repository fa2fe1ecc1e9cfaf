#include "tests/support/reader_cases.h"

#include <regex>

#include "tests/support/golden_texts.h"
#include "tests/support/sim_port.h"
#include "tests/support/test_instrument.h"

namespace {

using golden::utf8;

const std::array<const char*, kParameterCount> kCodes = {"A", "B", "b", "@", "I", "F"};
const std::array<const char*, kParameterCount> kKeys = {"version", "build",  "checksum",
                                                        "serial",  "bore",   "address"};

std::string everyLineWith(const std::string& fields) {
  std::string scenario;
  for (const auto& line : kTestInstrumentLines) scenario += line + " " + fields + "\n";
  return scenario;
}

std::string jsonEscaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

}  // namespace

ValueTexts valuesBefore(size_t position) {
  ValueTexts values;
  for (size_t i = 0; i < position && i < kParameterCount; ++i)
    values[i] = kTestInstrumentValues[i];
  if (position > 0) values[kChecksumPosition] = kTestInstrumentValues[kChecksumPosition];
  return values;
}

const std::vector<ReaderCase>& readerCases() {
  const std::vector<std::string> json = {"--json", kPortArgument};
  static const std::vector<ReaderCase> cases = {
      {"Instrument", instrumentScenario(), json, 0, valuesBefore(kParameterCount)},
      {"LineWithEcho", everyLineWith("echo"), json, 0, valuesBefore(kParameterCount)},
      {"SilentSerialNumber", instrumentScenario(3, "silent"), json, 7, valuesBefore(3)},
      {"WrongLrcAtFirst", instrumentScenario(0, "reply=0002004138000001 bad-lrc"), json, 8,
       valuesBefore(0)},
      {"SixHundredCharacters", instrumentScenario(1, "type=4 value=07E9 length=600"), json, 8,
       valuesBefore(1)},
      {"EchoOnly", instrumentScenario(4, "echo-only"), json, 7, valuesBefore(4)},
      {"PauseInsideReply", instrumentScenario(5, "type=1 value=01 pause=8:400"), json, 8,
       valuesBefore(5)},
      {"HangUpInsideReply", instrumentScenario(2, "type=3 value=72C0 hangup=9"), json, 8,
       valuesBefore(2)},
  };
  return cases;
}

const std::vector<LineCase>& lineCases() {
  const ValueTexts all = valuesBefore(kParameterCount);
  // Position 1 (build) gets no answer the first time, and its reply after.
  const std::string lostOnce = instrumentScenario(1, "silent") + kTestInstrumentLines[1] + "\n";
  const std::string otherChecksum = instrumentScenario(2, "type=3 value=ABCD");
  ValueTexts otherValues = all;
  otherValues[kChecksumPosition] = "ABCD";
  const std::string matched = ", \"match\": true, \"mismatches\": []";
  const std::vector<std::string> json = {"--json", kPortsArgument};
  static const std::vector<LineCase> cases = {
      {"ThreeInstruments",
       {{instrumentScenario(), 0, all, ""}, {instrumentScenario(), 0, all, ""},
        {instrumentScenario(), 0, all, ""}},
       json, 0},
      {"FailingPortsAmongGoodOnes",
       {{instrumentScenario(3, "silent"), 7, valuesBefore(3), ""},
        {instrumentScenario(), 0, all, ""},
        {kNoInstrument, 2, ValueTexts{}, ""}},
       json, 7},
      {"ExpectMatches",
       {{instrumentScenario(), 0, all, matched}},
       {"--json", "--expect", "version=22, checksum = 72C0 ,serial=ZT-004217", kPortsArgument}, 0},
      {"ExpectFindsADifference",
       {{instrumentScenario(), 0, all, matched},
        {otherChecksum, 0, otherValues,
         ", \"match\": false, \"mismatches\": [{\"key\": \"checksum\", \"expected\": \"72C0\", "
         "\"value\": \"ABCD\"}]"}},
       {"--json", "--expect=checksum=72C0,build=2025", kPortsArgument}, 11},
      {"ExpectAfterAFailedRead",
       {{instrumentScenario(0, "silent"), 7, ValueTexts{}, ", \"match\": null, \"mismatches\": []"},
        {otherChecksum, 0, otherValues,
         ", \"match\": false, \"mismatches\": [{\"key\": \"checksum\", \"expected\": \"72C0\", "
         "\"value\": \"ABCD\"}]"}},
       {"--json", "--expect", "checksum=72C0", kPortsArgument}, 11},
      {"LostReplyWithoutRetries", {{lostOnce, 7, valuesBefore(1), ""}}, json, 7},
      {"LostReplyWithOneRetry", {{lostOnce, 0, all, ""}},
       {"--retries", "1", "--json", kPortsArgument}, 0},
  };
  return cases;
}

std::vector<std::string> withPorts(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& ports) {
  std::vector<std::string> replaced;
  for (const auto& argument : arguments) {
    if (argument == kPortsArgument)
      replaced.insert(replaced.end(), ports.begin(), ports.end());
    else
      replaced.push_back(argument);
  }
  return replaced;
}

bool startCaseSims(CaseSims& sims, const std::vector<PortCase>& ports, std::string& error) {
  sims.sims.assign(ports.size(), SimProcess{});
  sims.scenarioPaths.assign(ports.size(), std::string());
  for (size_t i = 0; i < ports.size(); ++i) {
    if (ports[i].scenario == kNoInstrument) continue;
    if (!startScenarioSim(sims.sims[i], sims.scenarioPaths[i], ports[i].scenario,
                          {"--char-ms", "0", "--turnaround-ms", "0"}, error))
      return false;
  }
  return true;
}

void stopCaseSims(CaseSims& sims) {
  for (size_t i = 0; i < sims.sims.size(); ++i) stopScenarioSim(sims.sims[i], sims.scenarioPaths[i]);
}

std::string expectedJsonLines(const LineCase& lineCase, const std::vector<std::string>& ports) {
  std::string lines;
  for (size_t i = 0; i < lineCase.ports.size() && i < ports.size(); ++i) {
    const PortCase& port = lineCase.ports[i];
    lines += expectedJson(ports[i], port.status, port.values, port.verification);
  }
  return lines;
}

std::vector<std::string> withPort(const std::vector<std::string>& arguments,
                                  const std::string& port) {
  std::vector<std::string> replaced = arguments;
  for (auto& argument : replaced)
    if (argument == kPortArgument) argument = port;
  return replaced;
}

std::string expectedJson(const std::string& port, int status, const ValueTexts& values,
                         const std::string& verification) {
  std::string json = "{\"port\": \"" + jsonEscaped(port) + "\", \"status\": " +
                     std::to_string(status) + ", \"message\": \"" + golden::statusText(static_cast<size_t>(status)) +
                     "\", \"values\": [";
  for (size_t i = 0; i < kParameterCount; ++i) {
    if (i != 0) json += ", ";
    json += std::string("{\"code\": \"") + kCodes[i] + "\", \"key\": \"" + kKeys[i] + "\", \"label\": \"" + golden::kLabelsInRequestOrder[i] +
            "\", \"value\": \"" + values[i] + "\"}";
  }
  return json + "]" + verification + "}\n";
}

ValueTexts instrumentValues() { return valuesBefore(kParameterCount); }

std::string expectedValueLines() {
  return utf8(u8"Версия ПО:      22\n"
              u8"Сборка:         2025\n"
              u8"Контр. сумма:   72C0\n"
              u8"Сетевой адрес:  1\n"
              u8"ДУ (мм):        50\n"
              u8"Зав. N:         ZT-004217\n");
}

std::string expectedReportText() {
  return "Версия ПО= 22;\r\n"
         "Сборка= 2025;\r\n"
         "Контр. сумма= 72C0;\r\n"
         "Сетевой адрес= 1;\r\n"
         "ДУ (мм)= 50;\r\n"
         "Зав. N = ZT-004217;\r\n";
}

bool isReportName(const std::string& name, const std::string& serialPart) {
  if (name.compare(0, serialPart.size(), serialPart) != 0) return false;
  static const std::regex stamp(
      "_[ 1-3][0-9]-[01][0-9]-[0-9]{4}_[0-2][0-9]_[0-5][0-9]_[0-5][0-9]\\.txt");
  return std::regex_match(name.substr(serialPart.size()), stamp);
}

ProcessResult runNativeReader(const std::string& path, const std::vector<std::string>& arguments,
                              int timeoutMs) {
  std::vector<std::string> command = {path};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProcessOptions options;
  options.timeoutMs = timeoutMs;
  return runProcess(command, options);
}

long long tracedCycleMs(const std::string& err) {
  const size_t end = err.find_last_not_of('\n');
  if (end == std::string::npos) return -1;
  const size_t start = err.rfind('\n', end);
  const std::string last = err.substr(start == std::string::npos ? 0 : start + 1,
                                      end - (start == std::string::npos ? 0 : start + 1) + 1);
  long long ms = -1;
  char unit[3] = {};
  if (std::sscanf(last.c_str(), "cycle %lld %2s", &ms, unit) != 2 || std::string(unit) != "ms")
    return -1;
  return ms;
}
