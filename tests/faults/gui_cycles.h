// Read cycles of zort-ident.exe under the GUI rig, worked by zort-drive.exe:
// what each cycle showed, and the memory of the dialog's process. Shared by
// the GUI fault tests, the soak and the benchmark.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "tests/gui/ident_session.h"

constexpr size_t kShownValues = 6;

// The value controls in table order (A B b @ I F).
constexpr std::array<int, kShownValues> kValueControls = {517, 518, 519, 522, 520, 521};

struct ShownCycle {
  bool finished = false;  // the Read button came back up in time
  double ms = -1;         // press to the button back up, the driver's stopwatch
  std::string status;     // the status line afterwards (UTF-8)
  std::array<std::string, kShownValues> values;
  bool exportShown = false;
};

// Selects COM1 and opens it; "" or what went wrong.
std::string openCom1(const GuiRig& rig, const IdentSession& session);

// Runs cycles in a row, each started by a press of Read once the last has
// ended and its pause (ms, one per cycle) has passed, all in one driver run.
std::vector<ShownCycle> runCycles(const GuiRig& rig, const IdentSession& session,
                                  const std::vector<int>& pausesMs);

struct ProcessFigures {
  bool known = false;
  unsigned long long workingBytes = 0;  // as Windows reports them, through Wine
  unsigned long long privateBytes = 0;
  unsigned long handles = 0;
  unsigned long long unixRssKiB = 0;    // the Wine process as Linux sees it
  unsigned long unixFds = 0;
};

ProcessFigures processFigures(const GuiRig& rig, const IdentSession& session);


// The values zort-sim's default instrument shows, in table order.
extern const std::array<std::string, kShownValues> kDefaultShown;
