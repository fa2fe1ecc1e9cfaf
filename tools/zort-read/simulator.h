// The built-in simulated instrument of --simulate: zort-sim, found beside
// zort-read, serving a pseudo-terminal. Linux only; one file per platform
// (simulator_posix.cpp, simulator_win32.cpp).
#pragma once

#include <cstdint>
#include <string>

struct SimulatorProcess {
  intptr_t id = -1;
  int output = -1;
  std::string linePath;
};

// false with a reason in error.
bool startSimulator(SimulatorProcess& simulator, std::string& error);
void stopSimulator(SimulatorProcess& simulator);
