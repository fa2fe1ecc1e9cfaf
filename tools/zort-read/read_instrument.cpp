#include "tools/zort-read/read_instrument.h"

#include <cstdio>
#include <string>

#include "protocol/parameters.h"
#include "protocol/trace.h"
#include "reading/read_cycle.h"
#include "report/report.h"
#include "serial/port.h"
#include "tools/zort-read/cp1251.h"
#include "tools/zort-read/exchange_trace.h"
#include "tools/zort-read/reader_output.h"
#include "tools/zort-read/reader_platform.h"

namespace {

// The progress line on a terminal: rewritten in place, wiped at the end.
constexpr size_t kProgressColumns = 24;

struct Progress {
  bool shown;
};

void showProgressText(void* context, const char* text) {
  if (!static_cast<Progress*>(context)->shown) return;
  const std::string shown = programTextToUtf8(text);
  std::string line = "\r" + shown;
  for (size_t width = utf8Length(shown); width < kProgressColumns; ++width) line.push_back(' ');
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void wipeProgress(const Progress& progress) {
  if (!progress.shown) return;
  std::fputs(("\r" + std::string(kProgressColumns, ' ') + "\r").c_str(), stderr);
  std::fflush(stderr);
}

std::string reportTextOf(void* context, uint32_t controlId) {
  const auto& results = *static_cast<const ResultStore*>(context);
  if (controlId >= kLabelOffset + kParameterTable[0].valueControl)
    return parameterLabel(controlId - kLabelOffset);
  const size_t position = positionOfControl(controlId);
  return position < kParameterCount ? std::string(valueText(results[position])) : std::string();
}

// The report of a successful read, as the dialog's To-file button writes it.
StatusCode writeReport(const std::string& directory, const ResultStore& results,
                       std::string& written) {
  const ReportTextSource source = {reportTextOf, const_cast<ResultStore*>(&results)};
  const std::string text = buildReportText(source);
  const std::string name = nativeFileName(
      buildReportFileName(valueText(results[kSerialNumberPosition]), localNow()));
  const bool separated = directory.back() == '/' || directory.back() == '\\';
  written = directory + (separated ? "" : "/") + name;
  return writeReportFile(directory, name, text);
}

// reason: the system's own words (UTF-8), added in brackets when there are any.
void printMessage(const std::string& subject, const char* programText,
                  const std::string& reason = "") {
  const std::string because = reason.empty() ? "" : " (" + reason + ")";
  std::fprintf(stderr, "zort-read: %s: %s%s\n", subject.c_str(),
               programTextToUtf8(programText).c_str(), because.c_str());
}

// What one run came to, for the output.
struct Outcome {
  StatusCode status = kStatusOk;
  bool cycleRan = false;
  long long cycleMs = -1;
  std::string reportPath;
  std::string openFailure;  // the system's reason, when the port did not open
};

void readPort(const ReaderOptions& options, const std::string& port, ResultStore& results,
              Outcome& outcome) {
  PortConnection connection;
  outcome.status = openPort(connection, port.c_str(), kLineMode);
  if (outcome.status != kStatusOk) {
    outcome.openFailure = openFailureText(connection);
    return;
  }
  raiseControlLines(connection);

  ReceiveBuffer receive{};
  ExchangeTrace trace = {stderr, std::chrono::steady_clock::now()};
  const ExchangeObserver observer = traceObserver(trace);
  Progress progress = {!options.trace && isTerminal(stderr)};
  showProgressText(&progress, "Ждём!...");
  ControlFlags flags{kBusy};
  ReadContext context = {&connection, &receive, &results, options.trace ? &observer : nullptr};
  const StatusLine statusLine = {showProgressText, &progress};

  trace.start = std::chrono::steady_clock::now();
  outcome.status = runReadCycle(statusLine, flags, context);
  outcome.cycleMs = elapsedMs(trace);
  outcome.cycleRan = true;
  wipeProgress(progress);
  closePort(connection);

  if (outcome.status == kStatusOk && options.report)
    outcome.status = writeReport(options.reportDirectory, results, outcome.reportPath);
}

}  // namespace

int readInstrument(const ReaderOptions& options) {
  // Developer traces would mix with the data on stdout.
  redirectTrace(kTraceOut, options.trace ? stderr : nullptr);
  redirectTrace(kTraceErr, options.trace ? stderr : nullptr);

  ResultStore results{};
  Outcome outcome;
  std::string port = options.port;
  SimulatorProcess simulator;
  std::string error;
  if (options.simulate && !startSimulator(simulator, error)) {
    std::fprintf(stderr, "zort-read: %s\n", error.c_str());
    outcome.status = kStatusOpenFailed;
  } else {
    if (options.simulate) port = simulator.linePath;
    readPort(options, port, results, outcome);
  }
  stopSimulator(simulator);

  const std::string portText = nativeToUtf8(port);
  if (options.json)
    std::fputs(formatJson(portText, outcome.status, results).c_str(), stdout);
  else if (outcome.cycleRan)
    std::fputs(formatValueLines(results).c_str(), stdout);
  std::fflush(stdout);

  if (outcome.status == kStatusWriteFileFailed)
    printMessage(nativeToUtf8(options.reportDirectory), statusMessage(outcome.status));
  else if (outcome.status != kStatusOk)
    printMessage(portText, statusMessage(outcome.status), outcome.openFailure);
  else if (!outcome.reportPath.empty())
    std::fprintf(stderr, "zort-read: report %s\n", nativeToUtf8(outcome.reportPath).c_str());
  // The benchmark reads the cycle's own time from this last line.
  if (options.trace && outcome.cycleMs >= 0)
    std::fprintf(stderr, "cycle %lld ms\n", outcome.cycleMs);
  return static_cast<int>(outcome.status);
}
