#include "tests/faults/gui_cycles.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/support/golden_texts.h"

namespace {

constexpr const char* kCycleWaitMs = "30000";

}  // namespace

const std::array<std::string, kShownValues> kDefaultShown = {"22", "2025", "72C0",
                                                             "ZT-004217", "50", "1"};

std::string openCom1(const GuiRig& rig, const IdentSession& session) {
  const std::vector<std::string> results =
      drive(rig, session, {"find 20000", "select 513 COM1", "click 514", "text 540"});
  if (results[0] != "ok") return "no dialog: " + results[0];
  if (results[3] != golden::statusText(0)) return "COM1 did not open: " + results[3];
  return "";
}

std::vector<ShownCycle> runCycles(const GuiRig& rig, const IdentSession& session,
                                  const std::vector<int>& pausesMs) {
  // Per cycle: pause, mark, click, wait, elapsed, status, export button, six values.
  constexpr size_t kPerCycle = 7 + kShownValues;
  const size_t count = pausesMs.size();
  std::vector<std::string> commands;
  for (size_t i = 0; i < count; ++i) {
    commands.push_back("sleep " + std::to_string(pausesMs[i]));
    commands.push_back("mark");
    commands.push_back("click 515");
    commands.push_back(std::string("wait-checked 515 0 ") + kCycleWaitMs);
    commands.push_back("elapsed");
    commands.push_back("text 540");
    commands.push_back("visible 516");
    for (const int id : kValueControls) commands.push_back("text " + std::to_string(id));
  }
  const std::vector<std::string> results = drive(rig, session, commands);
  std::vector<ShownCycle> cycles(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t at = i * kPerCycle + 1;
    ShownCycle& cycle = cycles[i];
    cycle.finished = results[at + 1] == "ok" && results[at + 2] == "ok";
    cycle.ms = std::atof(results[at + 3].c_str());
    cycle.status = results[at + 4];
    cycle.exportShown = results[at + 5] == "1";
    for (size_t v = 0; v < kShownValues; ++v) cycle.values[v] = results[at + 6 + v];
  }
  return cycles;
}

ProcessFigures processFigures(const GuiRig& rig, const IdentSession& session) {
  ProcessFigures figures;
  const std::string memory = drive(rig, session, {"memory"})[0];
  figures.known = std::sscanf(memory.c_str(), "working=%llu private=%llu handles=%lu",
                              &figures.workingBytes, &figures.privateBytes, &figures.handles) == 3;
  const std::string proc = "/proc/" + std::to_string(identPid(session));
  std::ifstream status(proc + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) figures.unixRssKiB = std::strtoull(line.c_str() + 6, nullptr, 10);
  if (DIR* fds = opendir((proc + "/fd").c_str())) {
    while (const dirent* entry = readdir(fds))
      if (entry->d_name[0] != '.') ++figures.unixFds;
    closedir(fds);
  }
  return figures;
}

