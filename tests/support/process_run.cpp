#include "tests/support/process_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// After the child has ended, a grandchild that inherited the pipes (a Wine
// service started by the first program) may hold them open: stop reading
// this long after the end.
constexpr int kDrainAfterExitMs = 2000;

std::string nameOf(const std::string& variable) { return variable.substr(0, variable.find('=')); }

int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

// Standard input from /dev/null, output and error to the given descriptors
// (-1: /dev/null).
pid_t spawn(const std::vector<std::string>& arguments, const ProcessOptions& options, int out,
            int err) {
  SpawnSpec spec;
  spec.argv = arguments;
  spec.environment = changedEnvironment(options.environment);
  spec.directory = options.workingDirectory;
  spec.stdoutFd = out;
  spec.stderrFd = err;
  std::string error;
  return spawnProcess(spec, error);
}

// Reads both pipes until they close, the child has ended and a grace time
// has passed, or the deadline; returns the child's wait status or -2.
int collect(pid_t pid, int out, int err, ProcessResult& result, Clock::time_point deadline) {
  std::array<pollfd, 2> entries = {{{out, POLLIN, 0}, {err, POLLIN, 0}}};
  std::array<std::string*, 2> sinks = {&result.out, &result.err};
  bool ended = false;
  int status = 0;
  Clock::time_point drainUntil{};
  for (;;) {
    if (!ended && waitpid(pid, &status, WNOHANG) == pid) {
      ended = true;
      drainUntil = Clock::now() + std::chrono::milliseconds(kDrainAfterExitMs);
    }
    const bool open = entries[0].fd >= 0 || entries[1].fd >= 0;
    if (ended && (!open || Clock::now() >= drainUntil)) return status;
    if (!ended && Clock::now() >= deadline) return -2;
    const int ready = poll(entries.data(), entries.size(), open ? 20 : 5);
    if (ready < 0 && errno != EINTR) return ended ? status : -2;
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].fd < 0 || (entries[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      std::array<char, 4096> chunk{};
      const ssize_t got = read(entries[i].fd, chunk.data(), chunk.size());
      if (got > 0) {
        sinks[i]->append(chunk.data(), static_cast<size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        entries[i].fd = -1;
      }
    }
  }
}

}  // namespace

std::vector<std::string> changedEnvironment(const std::vector<std::string>& changes) {
  std::vector<std::string> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string entry = *variable;
    bool changed = false;
    for (const auto& change : changes) changed = changed || nameOf(change) == nameOf(entry);
    if (!changed) environment.push_back(entry);
  }
  for (const auto& change : changes)
    if (change.find('=') != std::string::npos) environment.push_back(change);
  return environment;
}

ProcessResult runProcess(const std::vector<std::string>& arguments, const ProcessOptions& options) {
  ProcessResult result;
  const auto deadline = Clock::now() + std::chrono::milliseconds(options.timeoutMs);
  if (options.discardOutput) {
    const pid_t pid = spawn(arguments, options, -1, -1);
    if (pid > 0) result.exitCode = waitProcess(pid, options.timeoutMs);
    return result;
  }
  std::array<int, 2> outPipe{-1, -1}, errPipe{-1, -1};
  if (pipe2(outPipe.data(), O_CLOEXEC) != 0) return result;
  if (pipe2(errPipe.data(), O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return result;
  }
  const pid_t pid = spawn(arguments, options, outPipe[1], errPipe[1]);
  close(outPipe[1]);
  close(errPipe[1]);
  if (pid > 0) {
    const int status = collect(pid, outPipe[0], errPipe[0], result, deadline);
    if (status == -2) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      result.exitCode = -2;
    } else {
      result.exitCode = exitCodeOf(status);
    }
  }
  close(outPipe[0]);
  close(errPipe[0]);
  return result;
}

pid_t startProcess(const std::vector<std::string>& arguments, const ProcessOptions& options) {
  return spawn(arguments, options, -1, -1);
}

int waitProcess(pid_t pid, int timeoutMs) {
  const int code = waitExit(pid, timeoutMs);
  if (code == -2) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  return code;
}
