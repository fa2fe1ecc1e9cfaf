#include <fcntl.h>
#include <limits.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cerrno>

#include "tools/zort-read/child_process.h"
#include "tools/zort-read/reader_platform.h"

namespace {

constexpr int kFirstLineWaitMs = 10000;
constexpr int kStopWaitMs = 5000;

std::string ownDirectory() {
  std::array<char, PATH_MAX> path{};
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return ".";
  const std::string own(path.data(), static_cast<size_t>(length));
  const size_t slash = own.rfind('/');
  return slash == std::string::npos ? "." : own.substr(0, slash);
}

}  // namespace

bool isTerminal(FILE* stream) { return isatty(fileno(stream)) == 1; }

void prepareConsole() {}



namespace {

LocalTime localTimeOf(const tm& local) {
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace

LocalTime localNow() { return zonedNow().local; }

ZonedTime zonedNow() {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  return {localTimeOf(local), static_cast<int>(local.tm_gmtoff / 60)};
}

void sleepMs(uint32_t milliseconds) {
  timespec left{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

std::string nativeToUtf8(std::string_view text) { return std::string(text); }

bool startSimulator(SimulatorProcess& simulator, std::string& error) {
  const std::string program = ownDirectory() + "/zort-sim";
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
