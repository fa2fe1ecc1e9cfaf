#include "tests/gui/child_process.h"


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
  stopProcess(child.pid, graceMs);
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
