#include "tools/zort-read/simulator.h"

bool startSimulator(SimulatorProcess&, std::string& error) {
  error = "--simulate needs zort-sim, which runs on Linux only";
  return false;
}

void stopSimulator(SimulatorProcess& simulator) { simulator = SimulatorProcess{}; }
