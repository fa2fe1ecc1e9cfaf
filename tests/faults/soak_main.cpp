// zort-soak N: N read cycles in one zort-ident.exe under Wine against
// zort-sim (unpaced), good cycles alternating with faulty ones. Reports
// wrong values, hangs, and the process's memory and handles at the start
// and the end. Exit 0 when nothing was wrong and nothing grew, 1 otherwise,
// 77 when the GUI rig's tools or the programs are missing (1 under CI).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/faults/gui_cycles.h"
#include "tests/support/golden_texts.h"

namespace {

constexpr size_t kBatch = 25;  // cycles per driver run
// Memory that may come and go between two looks (Wine's heaps, caches):
// a leak of a cycle's buffers would pass it within some 100 cycles.
constexpr long long kMemorySlackBytes = 1024 * 1024;

const std::string& kStatus7 = golden::statusText(7);  // no answer
const std::string& kStatus8 = golden::statusText(8);  // bad format

struct Fault {
  const char* fields;
  const std::string& status;  // what the dialog shows
  int pauseAfterMs;    // the late rest of a reply is on the line this long
};

// Faults on the first parameter (A) and on the last (F), in turn.
const Fault kFirstFaults[] = {{"silent", kStatus7, 0},
                              {"type=1 value=16 bad-lrc", kStatus8, 0},
                              {"echo-only", kStatus7, 0}};
const Fault kLastFaults[] = {{"type=1 value=01 pause=8:300", kStatus8, 400},
                             {"type=1 value=01 length=600", kStatus8, 0},
                             {"type=1 value=01 prefix=~#", kStatus8, 0}};
constexpr size_t kKinds = 3;
constexpr size_t kPeriod = 4 * kKinds;  // good, fault at A, good, fault at F

const Fault* faultOf(size_t cycle) {
  const size_t kind = (cycle / 4) % kKinds;
  if (cycle % 4 == 1) return &kFirstFaults[kind];
  if (cycle % 4 == 3) return &kLastFaults[kind];
  return nullptr;
}

// The sim takes each code's lines in turn, one per request: A is asked in
// every cycle, F in every cycle that got past A.
std::string soakScenario() {
  const std::string goodA = "A type=1 value=16 text1=Version";
  const std::string goodF = "F type=1 value=01 text1=Address";
  std::string scenario =
      "B type=4 value=07E9 text1=Build\n"
      "b type=3 value=72C0 text1=Checksum\n"
      "@ type=11 text=ZT-004217 text1=Serial\n"
      "I type=4 value=0032 text1=Bore text2=mm\n";
  for (size_t cycle = 0; cycle < kPeriod; ++cycle) {
    const Fault* fault = faultOf(cycle);
    const bool atFirst = cycle % 4 == 1;
    scenario += (fault != nullptr && atFirst ? std::string("A ") + fault->fields : goodA) + "\n";
    if (atFirst) continue;
    scenario += (fault != nullptr ? std::string("F ") + fault->fields : goodF) + "\n";
  }
  return scenario;
}

bool shownAsExpected(const ShownCycle& cycle, const Fault* fault, std::string& why) {
  const std::array<std::string, kShownValues> empty{};
  const auto& values = fault == nullptr ? kDefaultShown : empty;
  const std::string status = fault == nullptr ? "" : fault->status;
  if (cycle.status != status) why = "status \"" + cycle.status + "\", expected \"" + status + "\"";
  for (size_t i = 0; i < kShownValues && why.empty(); ++i)
    if (cycle.values[i] != values[i])
      why = "value " + std::to_string(i) + " \"" + cycle.values[i] + "\", expected \"" + values[i] + "\"";
  if (why.empty() && cycle.exportShown != (fault == nullptr))
    why = fault == nullptr ? "To-file hidden after a good cycle" : "To-file shown after a fault";
  return why.empty();
}

void printFigures(const char* when, const ProcessFigures& f) {
  std::printf("%-6s working set %8.1f KiB, private %8.1f KiB, handles %4lu | Linux: RSS %llu KiB, fds %lu\n",
              when, static_cast<double>(f.workingBytes) / 1024.0,
              static_cast<double>(f.privateBytes) / 1024.0, f.handles, f.unixRssKiB, f.unixFds);
}

}  // namespace

int main(int argc, char** argv) {
  const long requested = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20;
  if (requested < 2) {
    std::fprintf(stderr, "usage: zort-soak CYCLES (at least 2)\n");
    return 64;
  }
  const size_t cycles = static_cast<size_t>(requested);
  GuiRig rig;
  if (const int code = openGuiRig(rig, ZORT_SOAK_DIR, "soak", {ZORT_IDENT_EXE, ZORT_DRIVE_EXE},
                                  "the soak");
      code != 0)
    return code;
  std::string error;
  const std::string scenarioPath = std::string(ZORT_SOAK_DIR) + "/soak-scenario.txt";
  writeWholeFile(scenarioPath, soakScenario());
  IdentSession session;
  int result = 0;
  if (!startIdentSession(rig, "soak", {"--char-ms", "0", "--scenario", scenarioPath}, session, error) ||
      !(error = openCom1(rig, session)).empty()) {
    std::printf("zort-ident did not start: %s\n", error.c_str());
    stopIdentSession(session);
    stopGuiRig(rig);
    return 1;
  }

  // The first cycle warms the program up (the worker starts, Wine maps its
  // pages); the figures are taken after it and after the last.
  size_t wrong = 0, hangs = 0, done = 0, faulty = 0;
  double worstMs = 0;
  ProcessFigures start;
  const long long began = monotonicMs();
  while (done < cycles) {
    const size_t count = done == 0 ? 1 : std::min(kBatch, cycles - done);
    std::vector<int> pauses;
    for (size_t i = done; i < done + count; ++i) {
      const Fault* before = i == 0 ? nullptr : faultOf((i - 1) % kPeriod);
      pauses.push_back(before != nullptr ? before->pauseAfterMs : 0);
    }
    const std::vector<ShownCycle> shown = runCycles(rig, session, pauses);
    for (size_t i = 0; i < count; ++i) {
      const size_t cycle = done + i;
      const Fault* fault = faultOf(cycle % kPeriod);
      if (fault != nullptr) ++faulty;
      std::string why;
      if (!shown[i].finished) {
        ++hangs;
        std::printf("cycle %zu: hung (the Read button stayed down)\n", cycle);
      } else if (!shownAsExpected(shown[i], fault, why)) {
        ++wrong;
        std::printf("cycle %zu: %s\n", cycle, why.c_str());
      }
      if (shown[i].ms > worstMs) worstMs = shown[i].ms;
    }
    if (done == 0) start = processFigures(rig, session);
    done += count;
    if (hangs > 0) break;  // the dialog no longer answers: later figures mean nothing
  }
  const ProcessFigures end = processFigures(rig, session);
  const long long tookMs = monotonicMs() - began;

  drive(rig, session, {"closebox", "wait-gone 10000"});
  const int exitCode = waitIdentExit(session, 30000);
  stopIdentSession(session);
  stopGuiRig(rig);

  std::printf("soak: %zu cycles in one zort-ident.exe (%zu faulty), %.1f s, worst cycle %.0f ms\n",
              done, faulty, static_cast<double>(tookMs) / 1000.0, worstMs);
  std::printf("wrong values: %zu, hangs: %zu, exit code %d\n", wrong, hangs, exitCode);
  printFigures("start", start);
  printFigures("end", end);
  if (!start.known || !end.known) {
    std::printf("the process's figures could not be had\n");
    result = 1;
  } else {
    // Wine 8 gives another process's working set (its Linux RSS) but
    // neither its private bytes nor its handle count (0); the Linux
    // descriptors stand for the port and file handles then.
    const long long workingGrowth =
        static_cast<long long>(end.workingBytes) - static_cast<long long>(start.workingBytes);
    const bool handlesKnown = start.handles != 0;
    const long handleGrowth = handlesKnown
                                  ? static_cast<long>(end.handles) - static_cast<long>(start.handles)
                                  : static_cast<long>(end.unixFds) - static_cast<long>(start.unixFds);
    std::printf("growth: working set %+lld bytes, %s %+ld\n", workingGrowth,
                handlesKnown ? "handles" : "descriptors (Wine gives no handle count)", handleGrowth);
    if (handleGrowth > 0) result = 1;
    if (workingGrowth > kMemorySlackBytes) result = 1;
  }
  if (wrong != 0 || hangs != 0 || exitCode != 0) result = 1;
  std::printf("%s\n", result == 0 ? "soak passed" : "soak FAILED");
  return result;
}
