#include "os/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <limits.h>

#include <array>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

void pause5ms() {
  const timespec pause{0, 5 * 1000 * 1000};
  nanosleep(&pause, nullptr);
}

}  // namespace

long long monotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

pid_t spawnProcess(const SpawnSpec& spec, std::string& error) {
  if (spec.argv.empty()) {
    error = "no program to start";
    return -1;
  }
  std::vector<std::string> argumentCopy = spec.argv;
  std::vector<std::string> environment = spec.environment;
  auto argv = pointersTo(argumentCopy);
  auto envp = pointersTo(environment);

  constexpr int kWritten = O_WRONLY | O_CREAT | O_TRUNC;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (spec.extraFd >= 0) posix_spawn_file_actions_adddup2(&actions, spec.extraFd, 3);
  if (spec.stdinFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, spec.stdinFd, STDIN_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, spec.stdinPath.c_str(), O_RDONLY, 0);
  if (spec.stdoutFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, spec.stdoutFd, STDOUT_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, spec.stdoutPath.c_str(), kWritten,
                                     0644);
  if (spec.stderrFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, spec.stderrFd, STDERR_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, spec.stderrPath.c_str(), kWritten,
                                     0644);
  if (!spec.directory.empty())
    posix_spawn_file_actions_addchdir_np(&actions, spec.directory.c_str());
  // The child starts with no blocked signals and default handlers for the
  // ones it is stopped with, whatever this process has set.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGTERM);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (spec.ownProcessGroup) {
    posix_spawnattr_setpgroup(&attributes, 0);
    flags |= POSIX_SPAWN_SETPGROUP;
  }
  posix_spawnattr_setflags(&attributes, flags);

  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(),
                                  spec.environment.empty() ? environ : envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) {
    error = "cannot start " + spec.argv[0] + ": " + std::strerror(failed);
    return -1;
  }
  return pid;
}

int waitExit(pid_t pid, int timeoutMs) {
  if (pid <= 0) return -1;
  const long long deadline = monotonicMs() + timeoutMs;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0 && errno != EINTR) return -1;
    if (monotonicMs() >= deadline) return -2;
    pause5ms();
  }
}

int stopProcess(pid_t pid, int graceMs) {
  if (pid <= 0) return -1;
  kill(pid, SIGTERM);
  const int code = waitExit(pid, graceMs);
  if (code != -2) return code;
  kill(pid, SIGKILL);
  waitExit(pid, graceMs);
  return -1;
}

bool readFirstLine(int fd, int timeoutMs, std::string& line, std::string& error) {
  const long long deadline = monotonicMs() + timeoutMs;
  line.clear();
  for (;;) {
    const long long left = deadline - monotonicMs();
    if (left <= 0) {
      error = "no first line within " + std::to_string(timeoutMs) + " ms";
      return false;
    }
    pollfd entry = {fd, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left));
    if (ready <= 0) continue;
    char c = 0;
    const ssize_t got = read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      error = "the output ended before the first line";
      return false;
    }
    if (c == '\n') return true;
    line.push_back(c);
  }
}

std::string ownProgramDirectory() {
  std::array<char, PATH_MAX> path{};
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return ".";
  const std::string own(path.data(), static_cast<size_t>(length));
  const size_t slash = own.rfind('/');
  return slash == std::string::npos ? "." : own.substr(0, slash);
}
