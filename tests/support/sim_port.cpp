#include "tests/support/sim_port.h"

#include <unistd.h>

#include <fstream>

bool startScenarioSim(SimProcess& sim, std::string& scenarioPath, const std::string& scenario,
                      std::vector<std::string> arguments, std::string& error) {
  if (!scenario.empty()) {
    scenarioPath = writeTemporaryFile(scenario, "scenario");
    if (scenarioPath.empty()) {
      error = "cannot write the scenario";
      return false;
    }
    arguments.insert(arguments.end(), {"--scenario", scenarioPath});
  }
  return startSim(sim, arguments, error);
}

void stopScenarioSim(SimProcess& sim, std::string& scenarioPath) {
  if (sim.pid > 0) stopSim(sim);
  if (!scenarioPath.empty()) unlink(scenarioPath.c_str());
  scenarioPath.clear();
}

size_t lineCount(const std::string& text) {
  size_t lines = 0;
  for (const char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

bool startSimPort(SimPort& port, const std::string& scenario, std::string& error,
                  const std::vector<std::string>& simArguments) {
  port.logPath = writeTemporaryFile("", "requests");
  std::vector<std::string> arguments = simArguments;
  arguments.insert(arguments.end(), {"--log", port.logPath});
  if (!startScenarioSim(port.sim, port.scenarioPath, scenario, arguments, error)) return false;
  const StatusCode opened = openPort(port.connection, port.sim.linePath.c_str(), kLineMode);
  if (opened != kStatusOk) {
    error = "openPort(" + port.sim.linePath + ") returned " + std::to_string(opened);
    return false;
  }
  raiseControlLines(port.connection);
  return true;
}

void stopSimPort(SimPort& port) {
  closePort(port.connection);
  stopScenarioSim(port.sim, port.scenarioPath);
  if (!port.logPath.empty()) unlink(port.logPath.c_str());
}

std::vector<std::string> loggedRequests(const SimPort& port) {
  std::vector<std::string> lines;
  std::ifstream log(port.logPath);
  for (std::string line; std::getline(log, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}
