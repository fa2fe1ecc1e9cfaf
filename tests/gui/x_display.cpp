#include "tests/gui/x_display.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kStartTimeoutMs = 15000;

}  // namespace

bool startXDisplay(XDisplay& display, const std::vector<std::string>& environment,
                   const std::string& logPath, std::string& error) {
  int fds[2] = {-1, -1};
  if (pipe2(fds, O_CLOEXEC) != 0) {
    error = std::string("pipe2: ") + std::strerror(errno);
    return false;
  }
  ChildSpec launch;
  launch.argv = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1024x768x24"};
  launch.environment = environment;
  launch.stdoutPath = logPath;
  launch.stderrPath = logPath;
  launch.extraFd = fds[1];
  const bool started = startChild(launch, display.server, error);
  close(fds[1]);
  std::string number;
  const bool reported = started && readFirstLine(fds[0], kStartTimeoutMs, number, error);
  close(fds[0]);
  if (!reported || number.empty()) {
    error = error.empty() ? "Xvfb reported an empty display number" : "Xvfb: " + error;
    stopChild(display.server);
    return false;
  }
  display.name = ":" + number;
  return true;
}

void stopXDisplay(XDisplay& display) {
  stopChild(display.server);
  display.name.clear();
}
