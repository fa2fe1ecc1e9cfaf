// zort-bench [CYCLES]: cycle times against the 1200-baud-paced zort-sim of
// zort-read natively, zort-read.exe under Wine and zort-ident.exe under
// Wine, next to the line's own time; eight instruments read at once by one
// zort-read (and zort-read.exe) against one; the idle processor time of
// zort-ident.exe, its time from start to the dialog shown, and the sizes of
// the Windows programs; the processor time of a station (zort-read --watch)
// whose eight slots wait. Prints one Markdown table.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/sim_port.h"
#include "tests/support/test_instrument.h"
#include "tests/faults/gui_cycles.h"
#include "tests/support/golden_texts.h"
#include "os/child_process.h"
#include "tests/support/reader_cases.h"

namespace {

constexpr double kCharMs = 8.33;
constexpr double kTurnaroundMs = 20;  // zort-sim's default
constexpr size_t kExchanges = 6;

struct Series {
  std::string name;
  std::vector<double> ms;
  size_t failed = 0;
};

double median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double worst(const std::vector<double>& values) {
  return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
}

// Runs the reader `cycles` times against one paced sim; the cycle time
// each run measured itself (--trace's last line).
Series readerSeries(const std::string& name, size_t cycles,
                    ProcessResult (*run)(const std::vector<std::string>&, const std::string&),
                    bool (*connect)(const std::string& linePath, std::string& port)) {
  Series series{name, {}, 0};
  SimProcess sim;
  std::string scenarioPath, error, port;
  if (!startScenarioSim(sim, scenarioPath, instrumentScenario(), {"--char-ms", "8.33"}, error) ||
      !connect(sim.linePath, port)) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
    series.failed = cycles;
    stopScenarioSim(sim, scenarioPath);
    return series;
  }
  for (size_t i = 0; i < cycles; ++i) {
    const ProcessResult result = run({"--trace", "--json", port}, port);
    const long long ms = tracedCycleMs(result.err);
    if (result.exitCode != 0 || ms < 0) {
      ++series.failed;
      continue;
    }
    series.ms.push_back(static_cast<double>(ms));
  }
  stopScenarioSim(sim, scenarioPath);
  return series;
}

ProcessResult runNative(const std::vector<std::string>& arguments, const std::string&) {
  return runNativeReader(ZORT_READ_PATH, arguments);
}

bool sameLine(const std::string& linePath, std::string& port) {
  port = linePath;
  return true;
}

GuiRig* gRig = nullptr;

ProcessResult runExe(const std::vector<std::string>& arguments, const std::string&) {
  return runWineProgram(gRig->wine, ZORT_READ_EXE, arguments, 120000);
}

bool viaCom5(const std::string& linePath, std::string& port) {
  std::string error;
  port = "COM5";
  return connectComPort(gRig->wine, port, linePath, error);
}

// Eight paced instruments at once against one, by the same program: the
// program's own times (--trace's last line: one cycle; for eight, from the
// workers' start to the last one's end) and the whole run's wall time.
constexpr size_t kInstruments = 8;

struct ParallelSeries {
  std::string name;
  std::vector<double> oneMs, eightMs, oneWallMs, eightWallMs;
  size_t failed = 0;
};

bool timedRun(ProcessResult (*run)(const std::vector<std::string>&, const std::string&),
              const std::vector<std::string>& ports, std::vector<double>& traced,
              std::vector<double>& wall) {
  std::vector<std::string> arguments = {"--trace", "--json"};
  arguments.insert(arguments.end(), ports.begin(), ports.end());
  const long long startedAt = monotonicMs();
  const ProcessResult result = run(arguments, ports[0]);
  const long long took = monotonicMs() - startedAt;
  const long long ms = tracedCycleMs(result.err);
  if (result.exitCode != 0 || ms < 0) return false;
  traced.push_back(static_cast<double>(ms));
  wall.push_back(static_cast<double>(took));
  return true;
}

ParallelSeries parallelSeries(const std::string& name, size_t cycles,
                              ProcessResult (*run)(const std::vector<std::string>&, const std::string&),
                              const std::vector<std::string>& names) {
  ParallelSeries series{name, {}, {}, {}, {}, 0};
  std::vector<SimProcess> sims(kInstruments);
  std::vector<std::string> scenarioPaths(kInstruments), ports;
  std::string error;
  for (size_t i = 0; i < kInstruments && error.empty(); ++i) {
    if (!startScenarioSim(sims[i], scenarioPaths[i], instrumentScenario(), {"--char-ms", "8.33"}, error))
      break;
    if (names.empty()) {
      ports.push_back(sims[i].linePath);
    } else if (connectComPort(gRig->wine, names[i], sims[i].linePath, error)) {
      ports.push_back(names[i]);
    }
  }
  if (ports.size() != kInstruments) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
    series.failed = cycles;
  }
  // One and eight in turn, so that both meet the same load.
  for (size_t i = 0; i < cycles && series.failed == 0; ++i) {
    if (!timedRun(run, {ports[0]}, series.oneMs, series.oneWallMs)) ++series.failed;
    if (!timedRun(run, ports, series.eightMs, series.eightWallMs)) ++series.failed;
  }
  for (size_t i = 0; i < kInstruments; ++i) stopScenarioSim(sims[i], scenarioPaths[i]);
  return series;
}

const std::vector<std::string> kEightComPorts = {"COM21", "COM22", "COM23", "COM24",
                                                 "COM25", "COM26", "COM27", "COM28"};

// Processor time (user and system) a process has used so far, in ms; -1
// when it cannot be read.
double processCpuMs(pid_t pid) {
  const std::string stat = readWholeFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t end = stat.rfind(')');  // after the program's name, which may hold spaces
  if (end == std::string::npos) return -1;
  std::vector<std::string> fields;
  size_t at = end + 2;
  for (size_t next; (next = stat.find(' ', at)) != std::string::npos; at = next + 1)
    fields.push_back(stat.substr(at, next - at));
  // utime and stime are the 14th and 15th fields, the 12th and 13th after the name.
  if (fields.size() < 13) return -1;
  const double ticks = std::strtod(fields[11].c_str(), nullptr) + std::strtod(fields[12].c_str(), nullptr);
  return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A station's slots waiting for instruments cost next to nothing: zort-read
// --watch on eight lines where nothing answers, its processor time over 10 s.
constexpr long long kIdleMs = 10000;

double stationIdleCpuMs() {
  std::vector<SimProcess> sims(kInstruments);
  std::vector<std::string> scenarioPaths(kInstruments);
  SpawnSpec station;
  station.argv = {ZORT_READ_PATH, "--watch"};
  std::string error;
  const std::string silent = "A silent\nB silent\nb silent\n@ silent\nI silent\nF silent\n";
  for (size_t i = 0; i < kInstruments; ++i) {
    if (!startScenarioSim(sims[i], scenarioPaths[i], silent, {"--char-ms", "8.33"}, error)) break;
    station.argv.push_back(sims[i].linePath);
  }
  double used = -1;
  const pid_t pid = station.argv.size() == 2 + kInstruments ? spawnProcess(station, error) : -1;
  if (pid > 0) {
    usleep(1000 * 1000);  // past the start
    const double before = processCpuMs(pid);
    usleep(static_cast<useconds_t>(kIdleMs * 1000));
    const double after = processCpuMs(pid);
    if (before >= 0 && after >= 0) used = after - before;
    kill(pid, SIGINT);
    if (waitExit(pid, 10000) != 0) used = -1;
  }
  if (used < 0) std::fprintf(stderr, "zort-read --watch: %s\n", error.c_str());
  for (size_t i = 0; i < kInstruments; ++i) stopScenarioSim(sims[i], scenarioPaths[i]);
  return used;
}

long long fileSize(const char* path) {
  struct stat info {};
  return stat(path, &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t cycles = argc > 1 ? static_cast<size_t>(std::max(1L, std::strtol(argv[1], nullptr, 10))) : 10;
  static GuiRig rig;
  if (const int code = openGuiRig(rig, ZORT_BENCH_DIR, "bench",
                                  {ZORT_IDENT_EXE, ZORT_DRIVE_EXE, ZORT_READ_EXE}, "the benchmark");
      code != 0)
    return code;
  std::string error;
  if (!mapComPorts(rig.wine, {"COM1", "COM5", "COM21", "COM22", "COM23", "COM24", "COM25",
                              "COM26", "COM27", "COM28"},
                   error)) {
    std::printf("the GUI rig did not map its COM ports: %s\n", error.c_str());
    stopGuiRig(rig);
    return 1;
  }
  gRig = &rig;

  std::vector<Series> all;
  all.push_back(readerSeries("zort-read (Linux)", cycles, runNative, sameLine));
  all.push_back(readerSeries("zort-read.exe (Wine)", cycles, runExe, viaCom5));
  std::vector<ParallelSeries> parallel;
  parallel.push_back(parallelSeries("zort-read (Linux)", cycles, runNative, {}));
  parallel.push_back(parallelSeries("zort-read.exe (Wine)", cycles, runExe, kEightComPorts));

  const double stationIdleMs = stationIdleCpuMs();

  // zort-ident.exe: press to the Read button back up, the driver's stopwatch.
  Series ident{"zort-ident.exe (Wine)", {}, 0};
  IdentSession session;
  const long long startedAt = monotonicMs();
  double dialogShownMs = -1;
  double idleCpuMs = -1;
  if (startIdentSession(rig, "bench", {"--char-ms", "8.33"}, session, error)) {
    ChildSpec search;
    search.argv = {"xdotool", "search", "--sync", "--onlyvisible", "--name", golden::kCaption};
    search.environment = rig.environment;
    search.stdoutPath = session.directory + "/xdotool.out";
    if (runChild(search, 60000, error) == 0)
      dialogShownMs = static_cast<double>(monotonicMs() - startedAt);
    if (openCom1(rig, session).empty()) {
      // The first press also starts the worker; it is timed like the rest.
      const std::vector<ShownCycle> shown = runCycles(rig, session, std::vector<int>(cycles, 0));
      for (const auto& cycle : shown) {
        if (cycle.finished && cycle.status.empty() && cycle.values == kDefaultShown)
          ident.ms.push_back(cycle.ms);
        else
          ++ident.failed;
      }
      std::string pointerError;
      if (!movePointerToTheCorner(rig, pointerError)) std::printf("%s\n", pointerError.c_str());
      const double before = unixCpuMs(session);
      drive(rig, session, {"sleep 10000"});
      idleCpuMs = unixCpuMs(session) - before;
    } else {
      ident.failed = cycles;
    }
    drive(rig, session, {"closebox", "wait-gone 10000"});
    waitIdentExit(session, 30000);
  } else {
    std::fprintf(stderr, "zort-ident: %s\n", error.c_str());
    ident.failed = cycles;
  }
  stopIdentSession(session);
  all.push_back(ident);
  stopGuiRig(rig);

  const double lineMs = static_cast<double>(instrumentCycleLineCharacters()) * kCharMs +
                        static_cast<double>(kExchanges) * kTurnaroundMs;
  std::printf("| program | cycles | median ms | worst ms | line ms | median / line | worst / line |\n");
  std::printf("|---|---|---|---|---|---|---|\n");
  bool failed = false;
  for (const auto& s : all) {
    const double m = median(s.ms), w = worst(s.ms);
    std::printf("| %s | %zu%s | %.0f | %.0f | %.0f | %.2f | %.2f |\n", s.name.c_str(), s.ms.size(),
                s.failed != 0 ? (" (" + std::to_string(s.failed) + " failed)").c_str() : "", m, w,
                lineMs, m / lineMs, w / lineMs);
    failed = failed || s.failed != 0;
  }
  std::printf("\n| eight instruments at once | runs | one: median ms | eight: median ms | eight / one | "
              "one: wall ms | eight: wall ms | wall eight / one |\n");
  std::printf("|---|---|---|---|---|---|---|---|\n");
  for (const auto& s : parallel) {
    const double one = median(s.oneMs), eight = median(s.eightMs);
    const double oneWall = median(s.oneWallMs), eightWall = median(s.eightWallMs);
    std::printf("| %s | %zu%s | %.0f | %.0f | %.2f | %.0f | %.0f | %.2f |\n", s.name.c_str(),
                s.eightMs.size(),
                s.failed != 0 ? (" (" + std::to_string(s.failed) + " failed)").c_str() : "", one,
                eight, eight / one, oneWall, eightWall, eightWall / oneWall);
    failed = failed || s.failed != 0;
  }
  std::printf("\nline: %zu characters (requests and replies, no echo) at %.2f ms, plus %zu turnarounds of %.0f ms\n",
              instrumentCycleLineCharacters(), kCharMs, kExchanges, kTurnaroundMs);
  std::printf("zort-ident.exe idle over 10 s: %.0f ms of processor time\n", idleCpuMs);
  std::printf("zort-read --watch, eight slots waiting over %lld s: %.0f ms of processor time "
              "(%.2f %% of a core)\n",
              kIdleMs / 1000, stationIdleMs, stationIdleMs * 100.0 / static_cast<double>(kIdleMs));
  failed = failed || stationIdleMs < 0;
  std::printf("zort-ident.exe start to the dialog shown: %.0f ms (Wine's start included)\n", dialogShownMs);
  for (const char* program : {ZORT_IDENT_EXE, ZORT_READ_EXE})
    std::printf("%s: %lld bytes\n", program, fileSize(program));
  return failed ? 1 : 0;
}
