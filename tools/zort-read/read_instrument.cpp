#include "tools/zort-read/read_instrument.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "os/console.h"
#include "os/interruption.h"
#include "os/local_time.h"
#include "os/thread.h"
#include "protocol/parameters.h"
#include "protocol/trace.h"
#include "reading/read_port.h"
#include "report/report.h"
#include "report/report_file.h"
#include "serial/discovery.h"
#include "text/cp1251.h"
#include "tools/zort-read/exchange_trace.h"
#include "tools/zort-read/exit_status.h"
#include "tools/zort-read/outcome_journal.h"
#include "tools/zort-read/reader_output.h"
#include "tools/zort-read/simulator.h"
#include "tools/zort-read/station.h"
#include "tools/zort-read/verdict.h"
#include "tools/zort-read/verification.h"

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
  writeText(stderr, line);
  std::fflush(stderr);
}

void wipeProgress(const Progress& progress) {
  if (!progress.shown) return;
  writeText(stderr, "\r" + std::string(kProgressColumns, ' ') + "\r");
  std::fflush(stderr);
}

// The report of a successful read, as the dialog's To-file button writes it.
// A name that is taken, by this run or any other process, gives the next free
// "_2", "_3" name: two instruments that answer with one serial number within
// one second keep a report each.
ReportWrite writeReport(const std::string& directory, const ResultStore& results) {
  const std::string text = buildReportText(reportLinesOf(results));
  const std::string name =
      buildReportFileName(valueText(results[kSerialNumberPosition]), localTimeNow());
  return writeReportFile(nativeToUtf8(directory), name, text, ExistingReport::kKeep);
}

// Stage 1: the ports to read, in order. simulatorFailed: --simulate could
// not start its instrument (told on stderr); its port then fails to open.
struct PortList {
  std::vector<std::string> ports;  // as given (the platform's encoding)
  bool simulatorFailed = false;
};

PortList resolvePorts(const ReaderOptions& options, PortLister listPorts,
                      SimulatorProcess& simulator) {
  PortList list = {options.ports, false};
  if (options.simulate) {
    std::string error;
    list.simulatorFailed = !startSimulator(simulator, error);
    if (list.simulatorFailed) printText(stderr, "zort-read: %s\n", error.c_str());
    list.ports = {simulator.linePath};
  }
  if (options.allPorts)
    for (const PortInfo& port : listPorts())
      if (isReadWithAllPorts(port)) list.ports.push_back(port.name);
  return list;
}

// Stage 2: one port on a worker of its own, with its own connection,
// buffers and results.
struct PortJob {
  std::string port;
  bool showProgress = false;
  std::string tracePrefix;  // "" with one port
  bool traced = false;
  uint32_t retries = 0;
  OsThread thread;
  PortReadOutcome outcome;
};

void readJob(void* context) {
  PortJob& job = *static_cast<PortJob*>(context);
  ExchangeTrace trace = {stderr, std::chrono::steady_clock::now(), job.tracePrefix};
  const ExchangeObserver observer = traceObserver(trace);
  Progress progress = {job.showProgress};
  PortReadRequest request = {job.port.c_str(), {showProgressText, &progress},
                             job.traced ? &observer : nullptr, job.retries, &trace.start};
  // Ctrl-C: every port stops after the exchange in progress and is told.
  request.stopRequested = interruptionRequested;
  job.outcome = readOnePort(request);
  if (job.outcome.cycleRan) wipeProgress(progress);
}

// One worker per port, all at once; the jobs are set up in full before the
// first worker starts, so that none of them moves. Without a thread of its
// own a port is read in turn, here.
std::vector<std::unique_ptr<PortJob>> startReads(const ReaderOptions& options,
                                                 const PortList& list) {
  const bool several = list.ports.size() > 1;
  std::vector<std::unique_ptr<PortJob>> jobs;
  for (const auto& port : list.ports) {
    auto job = std::make_unique<PortJob>();
    job->port = port;
    job->showProgress = !several && !options.trace && isTerminal(stderr);
    job->tracePrefix = several ? nativeToUtf8(port) + ": " : "";
    job->traced = options.trace;
    job->retries = options.retries;
    jobs.push_back(std::move(job));
  }
  for (auto& job : jobs) {
    if (list.simulatorFailed) {
      job->outcome.openStatus = kStatusOpenFailed;
      job->outcome.ended = zonedTimeNow();
      continue;
    }
    if (!startThread(job->thread, readJob, job.get()).ok()) readJob(job.get());
  }
  return jobs;
}

// The values expected, in UTF-8 like the values read.
std::vector<ExpectedText> expectedTexts(const ReaderOptions& options) {
  std::vector<ExpectedText> texts;
  for (const auto& value : options.expected)
    texts.push_back({value.position, nativeToUtf8(value.text)});
  return texts;
}

// The port's block of values (headed by the port when several are read) or
// JSON line, the differences, and the failure or the report on stderr.
void printOutcome(const ReaderOptions& options, const PortJob& job, StatusCode status,
                  const ReportWrite& report, const Verification* verification, bool several) {
  const PortReadOutcome& outcome = job.outcome;
  const std::string portText = nativeToUtf8(job.port);
  if (options.json) {
    writeText(stdout, formatJson(portText, status, outcome.results, verification));
  } else {
    if (several) printText(stdout, "[%s]\n", portText.c_str());
    if (outcome.cycleRan) writeText(stdout, formatValueLines(outcome.results));
    if (verification != nullptr)
      for (const auto& mismatch : verification->mismatches)
        printText(stdout, "%s\n", mismatchLine(mismatch).c_str());
    if (several) writeText(stdout, "\n");
  }
  std::fflush(stdout);

  if (report.status != kStatusOk)
    printMessage(nativeToUtf8(options.reportDirectory), statusMessage(report.status),
                 report.system.reason);
  else if (status != kStatusOk)
    printMessage(portText, statusMessage(status), outcome.reason);
  else if (!report.path.empty())
    printText(stderr, "zort-read: %s%sreport %s\n", several ? portText.c_str() : "",
                 several ? ": " : "", report.path.c_str());
  if (options.trace && outcome.cycleMs >= 0)
    printText(stderr, "%scycle %lld ms\n", job.tracePrefix.c_str(), outcome.cycleMs);
}

// Stage 3: one port's outcome reported, verified, printed and journalled.
PortVerdict concludePort(const ReaderOptions& options, const JournalColumns& columns,
                         const PortJob& job, const std::vector<ExpectedText>& expected,
                         bool several) {
  const PortReadOutcome& outcome = job.outcome;
  PortVerdict verdict;
  verdict.status = readStatus(outcome);
  // Reports are written here, one after another.
  ReportWrite report = {kStatusOk, "", {}};
  if (verdict.status == kStatusOk && options.report) {
    report = writeReport(options.reportDirectory, outcome.results);
    verdict.status = report.status;
  }
  Verification verification;
  if (outcome.cycleRan && outcome.cycleStatus == kStatusOk) {
    verification.compared = true;
    verification.mismatches = compareValues(expected, outcome.results);
  }
  const Verification* checked = options.expected.empty() ? nullptr : &verification;
  verdict.differs = checked != nullptr && !checked->mismatches.empty();
  printOutcome(options, job, verdict.status, report, checked, several);
  if (!options.journalPath.empty()) {
    const JournalOutcome row = {nativeToUtf8(job.port),
                                verdictOf(readStatus(outcome), verdict.differs),
                                verdict.status,
                                &outcome.results,
                                outcome.mostTries,
                                outcome.ended};
    verdict.journalFailed = journalOutcome(options, columns, row) != 0;
  }
  return verdict;
}

}  // namespace

int readInstrument(const ReaderOptions& options, PortLister listPorts) {
  catchInterruptions(static_cast<int>(kStatusInterrupted));
  // Developer traces would mix with the data on stdout.
  redirectTrace(kTraceOut, options.trace ? stderr : nullptr);
  redirectTrace(kTraceErr, options.trace ? stderr : nullptr);

  SimulatorProcess simulator;
  const PortList list = resolvePorts(options, listPorts, simulator);
  if (options.allPorts && list.ports.empty()) {
    printText(stderr, "zort-read: %s\n",
                 programTextToUtf8(statusMessage(kStatusNoPortFound)).c_str());
    return exitStatus({});
  }
  if (options.watch) {
    const int status = list.simulatorFailed ? static_cast<int>(kStatusOpenFailed)
                                            : runStation(options, list.ports);
    stopSimulator(simulator);
    interruptionsHandled();
    return status;
  }
  const auto start = std::chrono::steady_clock::now();
  const auto jobs = startReads(options, list);

  // Each port's outcome in the order given, as soon as its read has ended.
  const std::vector<ExpectedText> expected = expectedTexts(options);
  const JournalColumns columns = journalColumns(options);
  std::vector<PortVerdict> verdicts;
  for (const auto& job : jobs) {
    joinThread(job->thread);
    verdicts.push_back(concludePort(options, columns, *job, expected, jobs.size() > 1));
  }
  const auto allMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - start)
                         .count();
  stopSimulator(simulator);
  // The benchmark reads the time of all the reads from this last line.
  if (options.trace && jobs.size() > 1)
    printText(stderr, "cycle %lld ms\n", static_cast<long long>(allMs));
  interruptionsHandled();
  // Stage 4.
  return exitStatus(verdicts);
}
