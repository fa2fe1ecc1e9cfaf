#include "tests/gui/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

long long monotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool startChild(const ChildSpec& launch, Child& child, std::string& error) {
  child = Child{};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (launch.extraFd >= 0) posix_spawn_file_actions_adddup2(&actions, launch.extraFd, 3);
  posix_spawn_file_actions_addopen(&actions, 0, launch.stdinPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, launch.stdoutPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, launch.stderrPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!launch.directory.empty())
    posix_spawn_file_actions_addchdir_np(&actions, launch.directory.c_str());

  std::vector<std::string> argv = launch.argv;
  std::vector<std::string> environment = launch.environment;
  std::vector<char*> argvPointers;
  for (auto& word : argv) argvPointers.push_back(word.data());
  argvPointers.push_back(nullptr);
  std::vector<char*> environmentPointers;
  for (auto& entry : environment) environmentPointers.push_back(entry.data());
  environmentPointers.push_back(nullptr);

  const int spawned = posix_spawnp(&child.pid, argvPointers[0], &actions, nullptr,
                                   argvPointers.data(), environmentPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    child.pid = -1;
    error = "cannot start " + launch.argv[0] + ": " + std::strerror(spawned);
    return false;
  }
  return true;
}

int waitChild(Child& child, int timeoutMs) {
  if (child.pid <= 0) return -1;
  const long long deadline = monotonicMs() + timeoutMs;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(child.pid, &status, WNOHANG);
    if (done == child.pid) {
      child.pid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (done < 0 && errno != EINTR) {
      child.pid = -1;
      return -1;
    }
    if (monotonicMs() >= deadline) return -2;
    const timespec pause = {0, 5 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
}

void stopChild(Child& child, int graceMs) {
  if (child.pid <= 0) return;
  kill(child.pid, SIGTERM);
  if (waitChild(child, graceMs) != -2) return;
  kill(child.pid, SIGKILL);
  waitChild(child, graceMs);
  child.pid = -1;
}

int runChild(const ChildSpec& launch, int timeoutMs, std::string& error) {
  Child child;
  if (!startChild(launch, child, error)) return -1;
  const int code = waitChild(child, timeoutMs);
  if (code == -2) {
    error = launch.argv[0] + " did not end within " + std::to_string(timeoutMs) + " ms";
    stopChild(child);
  }
  return code;
}

std::string readWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool writeWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
  return static_cast<bool>(file);
}
