#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/zort-sim/line.h"

namespace {

constexpr int kDrainWaitMs = 2000;

std::string failure(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool makeRaw(int fd, bool setLineMode) {
  termios mode{};
  if (tcgetattr(fd, &mode) != 0) return false;
  cfmakeraw(&mode);
  mode.c_cflag |= CLOCAL | CREAD;
  if (setLineMode) {
    mode.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    mode.c_cflag |= CS8 | HUPCL;
    cfsetispeed(&mode, B1200);
    cfsetospeed(&mode, B1200);
  }
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &mode) == 0;
}

bool setNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Waits until the queue that ioctl request reports on fd is empty. Characters
// written to a pty master reach the slave's queue a moment later, so the queue
// must stay empty for a settle interval, not just once.
void waitForEmptyQueue(int fd, unsigned long request) {
  constexpr int kStepMs = 5;
  constexpr int kSettleMs = 20;
  int emptyFor = 0;
  for (int waited = 0; waited < kDrainWaitMs && emptyFor < kSettleMs; waited += kStepMs) {
    const timespec pause = {0, kStepMs * 1000 * 1000};
    nanosleep(&pause, nullptr);
    int queued = 0;
    if (ioctl(fd, request, &queued) != 0) return;
    emptyFor = queued <= 0 ? emptyFor + kStepMs : 0;
  }
}

}  // namespace

std::string openPseudoTerminalLine(SimLine& line) {
  int master = -1;
  int slave = -1;
  char name[256] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return failure("openpty");
  line.fd = master;
  line.holdFd = slave;
  line.path = name;
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(slave, F_SETFD, FD_CLOEXEC);
  if (!makeRaw(slave, false) || !makeRaw(master, false)) return failure("raw mode of the pty");
  if (!setNonBlocking(master)) return failure("non-blocking pty master");
  return "";
}

std::string openDeviceLine(const std::string& path, SimLine& line) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return failure(path.c_str());
  line.fd = fd;
  line.path = path;
  if (!isatty(fd)) return path + " is not a terminal";
  if (!makeRaw(fd, true)) return failure("line mode of the device");
  tcflush(fd, TCIOFLUSH);
  return "";
}

void hangUpLine(SimLine& line) {
  if (line.holdFd >= 0) {
    waitForEmptyQueue(line.holdFd, TIOCINQ);  // the client has read the reply
  } else if (line.fd >= 0) {
    waitForEmptyQueue(line.fd, TIOCOUTQ);  // the device has sent it
  }
  closeLine(line);
}

void closeLine(SimLine& line) {
  if (line.fd >= 0) close(line.fd);
  if (line.holdFd >= 0) close(line.holdFd);
  line.fd = -1;
  line.holdFd = -1;
}
