// The simulator's main loop: reads requests from the line and answers them
// as the scenario says, paced like a 1200-baud line.
#pragma once

#include <cstdint>
#include <cstdio>

#include "tools/zort-sim/line.h"
#include "tools/zort-sim/scenario.h"

struct ServeSettings {
  int64_t charNs = 0;        // one character on the line; 0: no pacing
  int64_t turnaroundNs = 0;  // from a received request to its reply
  FILE* log = nullptr;       // request log, or nullptr
  int signalFd = -1;         // readable when the sim is asked to stop
};

// Serves until a stop signal (returns 0), a hang-up (line closed, returns 0)
// or the loss of the line (returns 1).
int serveLine(SimLine& line, const Scenario& scenario, const ServeSettings& settings);
