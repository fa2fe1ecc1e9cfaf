#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>

#include "tools/zort-read/reader_platform.h"

extern char** environ;

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

// The simulator's first line is the path of the line it serves.
bool readFirstLine(int fd, std::string& line) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(kFirstLineWaitMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd entry{fd, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char c = 0;
    const ssize_t got = read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    if (c == '\n') return !line.empty();
    line.push_back(c);
  }
}

bool reapWithin(pid_t pid, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 5) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) return true;
    const timespec pause{0, 5 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  return false;
}

}  // namespace

bool isTerminal(FILE* stream) { return isatty(fileno(stream)) == 1; }

void prepareConsole() {}

LocalTime localNow() {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
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
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  std::array<char*, 2> arguments = {const_cast<char*>(program.c_str()), nullptr};
  pid_t pid = -1;
  const int spawned =
      posix_spawn(&pid, program.c_str(), &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (spawned != 0) {
    close(pipeEnds[0]);
    error = "cannot start " + program;
    return false;
  }
  simulator.id = pid;
  simulator.output = pipeEnds[0];
  if (!readFirstLine(simulator.output, simulator.linePath)) {
    stopSimulator(simulator);
    error = "the simulator did not tell the path of its line";
    return false;
  }
  return true;
}

void stopSimulator(SimulatorProcess& simulator) {
  if (simulator.id > 0) {
    const auto pid = static_cast<pid_t>(simulator.id);
    kill(pid, SIGTERM);
    if (!reapWithin(pid, kStopWaitMs)) {
      kill(pid, SIGKILL);
      reapWithin(pid, kStopWaitMs);
    }
  }
  if (simulator.output >= 0) close(simulator.output);
  simulator = SimulatorProcess{};
}
