#include "tests/gui/x_display.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kStartTimeoutMs = 15000;

bool readLine(int fd, std::string& line, std::string& error) {
  const long long deadline = monotonicMs() + kStartTimeoutMs;
  for (;;) {
    const long long left = deadline - monotonicMs();
    if (left <= 0) {
      error = "Xvfb reported no display within " + std::to_string(kStartTimeoutMs) + " ms";
      return false;
    }
    pollfd entry = {fd, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(left)) <= 0) continue;
    char c = 0;
    const ssize_t got = read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      error = "Xvfb ended before it reported its display";
      return false;
    }
    if (c == '\n') return true;
    line.push_back(c);
  }
}

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
  const bool reported = started && readLine(fds[0], number, error);
  close(fds[0]);
  if (!reported || number.empty()) {
    if (error.empty()) error = "Xvfb reported an empty display number";
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
