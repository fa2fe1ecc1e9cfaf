#include "tests/gui/child_process.h"

#include <signal.h>
#include <time.h>

#include <fstream>
#include <sstream>

long long monotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool startChild(const ChildSpec& launch, Child& child, std::string& error) {
  child.pid = spawnProcess(launch, error);
  return child.pid > 0;
}

int waitChild(Child& child, int timeoutMs) {
  if (child.pid <= 0) return -1;
  const int code = waitExit(child.pid, timeoutMs);
  if (code != -2) child.pid = -1;
  return code;
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
