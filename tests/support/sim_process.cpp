#include "tests/support/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace {

long long monotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void closeFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Polls waitpid until the child has exited or the time is up.
// Returns the exit code, -1 for an abnormal end, -2 for a time-out.
int reapWithin(pid_t pid, int timeoutMs) {
  const long long deadline = monotonicMs() + timeoutMs;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0 && errno != EINTR) return -1;
    if (monotonicMs() >= deadline) return -2;
    const timespec pause = {0, 5 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
}

void killAndReap(SimProcess& sim) {
  if (sim.pid > 0) {
    kill(sim.pid, SIGKILL);
    reapWithin(sim.pid, 5000);
  }
  sim.pid = -1;
  closeFd(sim.stdoutFd);
}

// Reads up to the first "\n" from fd within timeoutMs.
bool readFirstLine(int fd, int timeoutMs, std::string& line, std::string& error) {
  const long long deadline = monotonicMs() + timeoutMs;
  line.clear();
  for (;;) {
    const long long left = deadline - monotonicMs();
    if (left <= 0) {
      error = "no first line from zort-sim within the time-out";
      return false;
    }
    pollfd entry = {fd, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    char c = 0;
    const ssize_t got = read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      error = "zort-sim ended its output before the first line";
      return false;
    }
    if (c == '\n') return true;
    line.push_back(c);
  }
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

  std::vector<std::string> words;
  words.push_back(zortSimPath());
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  // The child starts with no blocked signals and default handlers for the
  // ones it is stopped with, whatever the test process has set.
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
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    error = std::string("posix_spawn ") + argv[0] + ": " + std::strerror(spawned);
    return false;
  }
  sim.pid = pid;
  sim.stdoutFd = pipeFds[0];
  if (!readFirstLine(sim.stdoutFd, timeoutMs, sim.linePath, error) || sim.linePath.empty()) {
    if (error.empty()) error = "zort-sim printed an empty first line";
    killAndReap(sim);
    sim.linePath.clear();
    return false;
  }
  return true;
}

int stopSim(SimProcess& sim, int timeoutMs) {
  if (sim.pid <= 0) return -1;
  kill(sim.pid, SIGTERM);
  int code = reapWithin(sim.pid, timeoutMs);
  if (code == -2) {
    killAndReap(sim);
    return -1;
  }
  sim.pid = -1;
  closeFd(sim.stdoutFd);
  return code;
}

int waitSimExit(SimProcess& sim, int timeoutMs) {
  if (sim.pid <= 0) return -1;
  const int code = reapWithin(sim.pid, timeoutMs);
  if (code == -2) return -1;
  sim.pid = -1;
  closeFd(sim.stdoutFd);
  return code;
}

std::string writeTemporaryFile(const std::string& text, const char* nameHint) {
  const char* directory = getenv("TMPDIR");
  if (directory == nullptr || *directory == '\0') directory = "/tmp";
  std::string path = std::string(directory) + "/" + nameHint + "-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) return "";
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      close(fd);
      unlink(path.c_str());
      return "";
    }
    written += static_cast<size_t>(n);
  }
  close(fd);
  return path;
}
