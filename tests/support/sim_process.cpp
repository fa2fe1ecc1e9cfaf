#include "tests/support/sim_process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tests/support/process_run.h"

namespace {

void closeFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

const char* zortSimPath() { return ZORT_SIM_PATH; }

bool startSim(SimProcess& sim, const std::vector<std::string>& arguments, std::string& error,
              int timeoutMs) {
  sim = SimProcess{};
  int pipeFds[2] = {-1, -1};
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    error = std::string("pipe2: ") + std::strerror(errno);
    return false;
  }
  SpawnSpec spec;
  spec.argv.push_back(zortSimPath());
  spec.argv.insert(spec.argv.end(), arguments.begin(), arguments.end());
  spec.stdoutFd = pipeFds[1];
  spec.stderrFd = STDERR_FILENO;
  sim.pid = spawnProcess(spec, error);
  close(pipeFds[1]);
  sim.stdoutFd = pipeFds[0];
  if (sim.pid < 0) {
    closeFd(sim.stdoutFd);
    return false;
  }
  if (!readFirstLine(sim.stdoutFd, timeoutMs, sim.linePath, error) || sim.linePath.empty()) {
    error = error.empty() ? "zort-sim printed an empty first line" : "zort-sim: " + error;
    stopProcess(sim.pid, 5000);
    sim.pid = -1;
    closeFd(sim.stdoutFd);
    sim.linePath.clear();
    return false;
  }
  return true;
}

int stopSim(SimProcess& sim, int timeoutMs) {
  if (sim.pid <= 0) return -1;
  const int code = stopProcess(sim.pid, timeoutMs);
  sim.pid = -1;
  closeFd(sim.stdoutFd);
  return code;
}

int waitSimExit(SimProcess& sim, int timeoutMs) {
  if (sim.pid <= 0) return -1;
  const int code = waitExit(sim.pid, timeoutMs);
  if (code == -2) return -1;
  sim.pid = -1;
  closeFd(sim.stdoutFd);
  return code;
}
