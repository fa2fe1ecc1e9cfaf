// For native tests: zort-sim on a pseudo-terminal with a given scenario, and
// the port connection opened on its line.
#pragma once

#include <string>
#include <vector>

#include "serial/port.h"
#include "tests/support/sim_process.h"

// Starts zort-sim with the scenario text ("" for its built-in one), written
// to a temporary file whose path goes to scenarioPath, and the arguments.
bool startScenarioSim(SimProcess& sim, std::string& scenarioPath, const std::string& scenario,
                      std::vector<std::string> arguments, std::string& error);

// Stops it and removes the scenario file.
void stopScenarioSim(SimProcess& sim, std::string& scenarioPath);

// The number of lines of a program's output.
size_t lineCount(const std::string& text);

struct SimPort {
  SimProcess sim;
  std::string scenarioPath;
  std::string logPath;
  PortConnection connection;
};

// Starts zort-sim with the scenario text ("" for its built-in one) and the
// extra arguments (default: no pacing), then opens its line in the
// instrument's mode. false with a reason in error.
bool startSimPort(SimPort& port, const std::string& scenario, std::string& error,
                  const std::vector<std::string>& simArguments = {"--char-ms", "0"});

// Closes the port, stops the sim and removes its files.
void stopSimPort(SimPort& port);

// The requests the sim has logged so far, one line each.
std::vector<std::string> loggedRequests(const SimPort& port);
