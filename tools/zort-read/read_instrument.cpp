#include "tools/zort-read/read_instrument.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "os/console.h"
#include "protocol/parameters.h"
#include "protocol/trace.h"
#include "reading/read_cycle.h"
#include "reading/worker_thread.h"
#include "report/report.h"
#include "serial/discovery.h"
#include "serial/port.h"
#include "text/cp1251.h"
#include "tools/zort-read/exchange_trace.h"
#include "tools/zort-read/journal.h"
#include "tools/zort-read/journal_file.h"
#include "tools/zort-read/reader_output.h"
#include "tools/zort-read/reader_platform.h"
#include "tools/zort-read/verification.h"

namespace {

// A difference from --expect ends the program with this status.
constexpr int kMismatchExitCode = 11;

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
  writeText(stderr, line);
  std::fflush(stderr);
}

void wipeProgress(const Progress& progress) {
  if (!progress.shown) return;
  writeText(stderr, "\r" + std::string(kProgressColumns, ' ') + "\r");
  std::fflush(stderr);
}

std::string reportTextOf(void* context, uint32_t controlId) {
  const auto& results = *static_cast<const ResultStore*>(context);
  if (controlId >= kLabelOffset + kParameterTable[0].valueControl)
    return parameterLabel(controlId - kLabelOffset);
  const size_t position = positionOfControl(controlId);
  return position < kParameterCount ? std::string(valueText(results[position])) : std::string();
}

// "name.txt" as "name_2.txt" (and so on) when this run has written a report
// of that name already: two instruments that answer with one serial number
// within one second keep a report each.
std::string unusedName(const std::string& name, std::vector<std::string>& used) {
  std::string unused = name;
  const size_t dot = std::min(name.rfind('.'), name.size());
  for (int copy = 2; std::find(used.begin(), used.end(), unused) != used.end(); ++copy)
    unused = name.substr(0, dot) + "_" + std::to_string(copy) + name.substr(dot);
  used.push_back(unused);
  return unused;
}

// The report of a successful read, as the dialog's To-file button writes it.
// written: the file's path in UTF-8.
StatusCode writeReport(const std::string& directory, const ResultStore& results,
                       std::vector<std::string>& usedNames, std::string& written) {
  const ReportTextSource source = {reportTextOf, const_cast<ResultStore*>(&results)};
  const std::string text = buildReportText(source);
  const std::string name = unusedName(
      buildReportFileName(valueText(results[kSerialNumberPosition]), localNow()), usedNames);
  const std::string folder = nativeToUtf8(directory);
  const bool separated = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
  written = folder + (separated ? "" : "/") + cp1251ToUtf8(name);
  return writeReportFile(folder, name, text);
}

// reason: the system's own words (UTF-8), added in brackets when there are any.
void printMessage(const std::string& subject, const char* programText,
                  const std::string& reason = "") {
  const std::string because = reason.empty() ? "" : " (" + reason + ")";
  printText(stderr, "zort-read: %s: %s%s\n", subject.c_str(),
               programTextToUtf8(programText).c_str(), because.c_str());
}

// One port's read: what its worker is given, and what it came to. Each
// worker has its own connection, buffers and results.
struct PortRead {
  const ReaderOptions* options = nullptr;
  std::string port;         // as given (the platform's encoding)
  bool showProgress = false;
  std::string tracePrefix;  // "" with one port
  WorkerThread thread;

  ResultStore results{};
  StatusCode status = kStatusOk;  // the port's: the cycle's, or 9 for its report
  StatusCode cycleStatus = kStatusOk;
  bool cycleRan = false;
  long long cycleMs = -1;
  std::string reportPath;
  std::string openFailure;  // the system's reason, when the port did not open
  LinkFailure linkFailure;  // the system's reason, when it refused a write or read
};

void readPort(PortRead& read) {
  const ReaderOptions& options = *read.options;
  PortConnection connection;
  read.status = openPort(connection, read.port.c_str(), kLineMode);
  if (read.status != kStatusOk) {
    read.openFailure = openFailureText(connection);
    return;
  }
  raiseControlLines(connection);

  ReceiveBuffer receive{};
  ExchangeTrace trace = {stderr, std::chrono::steady_clock::now(), read.tracePrefix};
  const ExchangeObserver observer = traceObserver(trace);
  Progress progress = {read.showProgress};
  showProgressText(&progress, "Ждём!...");
  ControlFlags flags{kBusy};
  ReadContext context = {&connection,
                         &receive,
                         &read.results,
                         options.trace ? &observer : nullptr,
                         options.retries,
                         &read.linkFailure};
  const StatusLine statusLine = {showProgressText, &progress};

  trace.start = std::chrono::steady_clock::now();
  read.status = runReadCycle(statusLine, flags, context);
  read.cycleStatus = read.status;
  read.cycleMs = elapsedMs(trace);
  read.cycleRan = true;
  wipeProgress(progress);
  closePort(connection);
}

void readPortWorker(void* context) { readPort(*static_cast<PortRead*>(context)); }


// The values expected, in UTF-8 like the values read.
std::vector<ExpectedText> expectedTexts(const ReaderOptions& options) {
  std::vector<ExpectedText> texts;
  for (const auto& value : options.expected)
    texts.push_back({value.position, nativeToUtf8(value.text)});
  return texts;
}

// Prints one port's outcome: its block of values (headed by the port when
// several are read) or JSON line, the differences, and the failure on
// stderr. Returns the port's exit status.
int printOutcome(const ReaderOptions& options, const PortRead& read, bool several,
                 const Verification* verification) {
  const std::string portText = nativeToUtf8(read.port);
  if (options.json) {
    writeText(stdout, formatJson(portText, read.status, read.results, verification));
  } else {
    if (several) printText(stdout, "[%s]\n", portText.c_str());
    if (read.cycleRan) writeText(stdout, formatValueLines(read.results));
    if (verification != nullptr)
      for (const auto& mismatch : verification->mismatches)
        printText(stdout, "%s\n", mismatchLine(mismatch).c_str());
    if (several) writeText(stdout, "\n");
  }
  std::fflush(stdout);

  if (read.status == kStatusWriteFileFailed)
    printMessage(nativeToUtf8(options.reportDirectory), statusMessage(read.status));
  else if (read.status != kStatusOk)
    printMessage(portText, statusMessage(read.status),
                 read.cycleRan ? read.linkFailure.reason.data() : read.openFailure);
  else if (!read.reportPath.empty())
    printText(stderr, "zort-read: %s%sreport %s\n", several ? portText.c_str() : "",
                 several ? ": " : "", read.reportPath.c_str());
  if (options.trace && read.cycleMs >= 0)
    printText(stderr, "%scycle %lld ms\n", read.tracePrefix.c_str(), read.cycleMs);

  const bool differs = verification != nullptr && !verification->mismatches.empty();
  return std::max(static_cast<int>(read.status), differs ? kMismatchExitCode : 0);
}

// Appends the port's row; false (told on stderr) when the journal cannot
// take it.
bool journalPort(const ReaderOptions& options, const PortRead& read,
                 const Verification* verification) {
  JournalEntry entry = {localNow(), nativeToUtf8(read.port), read.status, &read.results,
                        verification != nullptr, std::nullopt};
  if (verification != nullptr && verification->compared)
    entry.matched = verification->mismatches.empty();
  std::string error;
  if (appendJournalRow(options.journalPath, journalHeader(entry.expectGiven), journalRow(entry),
                       error))
    return true;
  printMessage(nativeToUtf8(options.journalPath), statusMessage(kStatusWriteFileFailed), error);
  return false;
}

}  // namespace

int readInstrument(const ReaderOptions& options) {
  // Developer traces would mix with the data on stdout.
  redirectTrace(kTraceOut, options.trace ? stderr : nullptr);
  redirectTrace(kTraceErr, options.trace ? stderr : nullptr);

  std::vector<std::string> ports = options.ports;
  SimulatorProcess simulator;
  bool simulatorFailed = false;
  if (options.simulate) {
    std::string error;
    simulatorFailed = !startSimulator(simulator, error);
    if (simulatorFailed) printText(stderr, "zort-read: %s\n", error.c_str());
    ports = {simulator.linePath};
  }
  if (options.allPorts) {
    for (const PortInfo& port : listPortDetails())
      if (isReadWithAllPorts(port)) ports.push_back(port.name);
    if (ports.empty()) {
      printText(stderr, "zort-read: %s\n",
                   programTextToUtf8(statusMessage(kStatusNoPortFound)).c_str());
      return static_cast<int>(kStatusNoPortFound);
    }
  }

  // One worker per port, all at once; the reads are set up in full before
  // the first worker starts, so that none of them moves.
  const bool several = ports.size() > 1;
  std::vector<std::unique_ptr<PortRead>> reads;
  for (const auto& port : ports) {
    auto read = std::make_unique<PortRead>();
    read->options = &options;
    read->port = port;
    read->showProgress = !several && !options.trace && isTerminal(stderr);
    read->tracePrefix = several ? nativeToUtf8(port) + ": " : "";
    reads.push_back(std::move(read));
  }
  const auto start = std::chrono::steady_clock::now();
  for (auto& read : reads) {
    if (simulatorFailed) {
      read->status = kStatusOpenFailed;
      continue;
    }
    // Without a thread of its own a port is read in turn, here.
    if (!startWorkerThread(read->thread, readPortWorker, read.get())) readPort(*read);
  }

  // Each port's outcome in the order given, as soon as its read has ended.
  const std::vector<ExpectedText> expected = expectedTexts(options);
  std::vector<std::string> reportNames;
  int exitStatus = 0;
  for (auto& read : reads) {
    joinWorkerThread(read->thread);
    // Reports are written here, one after another.
    if (read->status == kStatusOk && options.report)
      read->status = writeReport(options.reportDirectory, read->results, reportNames, read->reportPath);
    Verification verification;
    if (read->cycleRan && read->cycleStatus == kStatusOk) {
      verification.compared = true;
      verification.mismatches = compareValues(expected, read->results);
    }
    const Verification* checked = options.expected.empty() ? nullptr : &verification;
    exitStatus = std::max(exitStatus, printOutcome(options, *read, several, checked));
    if (!options.journalPath.empty() && !journalPort(options, *read, checked))
      exitStatus = std::max(exitStatus, static_cast<int>(kStatusWriteFileFailed));
  }
  const auto allMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
          .count();
  stopSimulator(simulator);
  // The benchmark reads the time of all the reads from this last line.
  if (options.trace && several) printText(stderr, "cycle %lld ms\n", static_cast<long long>(allMs));
  return exitStatus;
}
