#include "tools/zort-read/simulator.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>

#include "os/child_process.h"

namespace {

constexpr int kFirstLineWaitMs = 10000;
constexpr int kStopWaitMs = 5000;

}  // namespace

bool startSimulator(SimulatorProcess& simulator, std::string& error) {
  const std::string program = ownProgramDirectory() + "/zort-sim";
  if (access(program.c_str(), X_OK) != 0) {
    error = "the simulator " + program + " is not there (build the target zort-sim)";
    return false;
  }
  std::array<int, 2> pipeEnds{};
  if (pipe2(pipeEnds.data(), O_CLOEXEC) != 0) {
    error = "no pipe for the simulator";
    return false;
  }
  // The simulator's first line is the path of the line it serves.
  SpawnSpec spec;
  spec.argv = {program};
  spec.stdoutFd = pipeEnds[1];
  spec.stderrFd = STDERR_FILENO;
  // Ctrl-C stops zort-read's reads after the exchange in progress; the
  // instrument must stay to answer it.
  spec.ownProcessGroup = true;
  const pid_t pid = spawnProcess(spec, error);
  close(pipeEnds[1]);
  simulator.output = pipeEnds[0];
  if (pid < 0) {
    stopSimulator(simulator);
    return false;
  }
  simulator.id = pid;
  std::string why;
  if (!readFirstLine(simulator.output, kFirstLineWaitMs, simulator.linePath, why) ||
      simulator.linePath.empty()) {
    stopSimulator(simulator);
    error = "the simulator did not tell the path of its line";
    return false;
  }
  return true;
}

void stopSimulator(SimulatorProcess& simulator) {
  if (simulator.id > 0) stopProcess(static_cast<pid_t>(simulator.id), kStopWaitMs);
  if (simulator.output >= 0) close(simulator.output);
  simulator = SimulatorProcess{};
}
