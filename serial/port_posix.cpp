// The port backend on POSIX terminals (termios); also serves pseudo-terminals,
// which take the settings but ignore the baud rate and the modem lines.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "serial/port_backend.h"

namespace {

int fdOf(PortHandle handle) { return static_cast<int>(handle); }

struct LineMode {
  speed_t speed;
  char parity;  // 'n', 'e' or 'o'
  int dataBits;
  int stopBits;
};

struct SpeedEntry {
  unsigned long baud;
  speed_t speed;
};

constexpr std::array<SpeedEntry, 11> kSpeeds = {{
    {110, B110}, {300, B300}, {600, B600}, {1200, B1200}, {2400, B2400}, {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
}};

// Reads a run of decimal digits; false if there is none.
bool readNumber(const char*& text, unsigned long* value) {
  char* end = nullptr;
  *value = std::strtoul(text, &end, 10);
  if (end == text) return false;
  text = end;
  return true;
}

bool skipComma(const char*& text) {
  if (*text != ',') return false;
  ++text;
  return true;
}

// "baud,parity,data,stop", as in "1200,n,8,1".
bool parseLineMode(const char* text, LineMode* mode) {
  if (text == nullptr) return false;
  unsigned long baud = 0, data = 0, stop = 0;
  if (!readNumber(text, &baud) || !skipComma(text)) return false;
  const char parity = static_cast<char>(*text | 0x20);
  if (parity != 'n' && parity != 'e' && parity != 'o') return false;
  ++text;
  if (!skipComma(text) || !readNumber(text, &data) || !skipComma(text) ||
      !readNumber(text, &stop) || *text != '\0')
    return false;
  if (data < 5 || data > 8 || (stop != 1 && stop != 2)) return false;
  for (const auto& entry : kSpeeds) {
    if (entry.baud != baud) continue;
    *mode = {entry.speed, parity, static_cast<int>(data), static_cast<int>(stop)};
    return true;
  }
  return false;
}

tcflag_t dataBitsFlag(int bits) {
  switch (bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

using Clock = std::chrono::steady_clock;

Clock::time_point deadlineAfter(size_t milliseconds) {
  return Clock::now() + std::chrono::milliseconds(milliseconds);
}

// Rounded up, so that a wait that ends empty has seen all of its time.
int millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void raiseModemLine(PortHandle handle, int line) {
  // A pty has no modem lines: the failure is expected and ignored.
  (void)ioctl(fdOf(handle), TIOCMBIS, &line);
}

}  // namespace

bool backendOpenDevice(const char* name, PortHandle* handle) {
  // Non-blocking throughout: the open does not wait for a carrier, reads
  // and writes wait in poll, each for its own time-out.
  const int fd = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  // One user at a time: an advisory lock that every process of this kind
  // takes (and other serial tools too), and the terminal's own exclusive
  // mode, which refuses further opens to all but root.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    close(fd);
    errno = EWOULDBLOCK;
    return false;
  }
  (void)ioctl(fd, TIOCEXCL);
  *handle = fd;
  return true;
}

bool backendPortBusy(uint32_t systemError) {
  return systemError == EBUSY || systemError == EWOULDBLOCK;
}

bool backendApplyLineMode(PortHandle handle, const char* mode) {
  LineMode line{};
  termios settings{};
  if (!parseLineMode(mode, &line)) {
    errno = EINVAL;
    return false;
  }
  if (tcgetattr(fdOf(handle), &settings) != 0) return false;
  cfmakeraw(&settings);
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  settings.c_cflag |= CLOCAL | CREAD | dataBitsFlag(line.dataBits);
  if (line.parity != 'n') settings.c_cflag |= PARENB;
  if (line.parity == 'o') settings.c_cflag |= PARODD;
  if (line.stopBits == 2) settings.c_cflag |= CSTOPB;
  // A read never blocks by itself; backendRead waits in poll.
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (cfsetispeed(&settings, line.speed) != 0 || cfsetospeed(&settings, line.speed) != 0)
    return false;
  return tcsetattr(fdOf(handle), TCSANOW, &settings) == 0;
}

bool backendApplyTimeouts(PortHandle handle) {
  // The waits live in backendRead and backendWrite; here only the handle is
  // checked.
  return fcntl(fdOf(handle), F_GETFL) >= 0;
}

void backendSetupQueues(PortHandle) {
  // The terminal driver's queues are fixed.
}

void backendRaiseRts(PortHandle handle) { raiseModemLine(handle, TIOCM_RTS); }

void backendRaiseDtr(PortHandle handle) { raiseModemLine(handle, TIOCM_DTR); }

void backendPurge(PortHandle handle) { (void)tcflush(fdOf(handle), TCIOFLUSH); }

bool backendWrite(PortHandle handle, const char* characters, size_t count, size_t* written) {
  *written = 0;
  if (count == 0) return true;
  const auto deadline = deadlineAfter(kWriteWaitMs + kWriteWaitPerCharacterMs * count);
  for (;;) {
    const ssize_t put = write(fdOf(handle), characters + *written, count - *written);
    if (put > 0) *written += static_cast<size_t>(put);
    if (*written == count) return true;
    if (put < 0 && errno != EAGAIN && errno != EINTR) return *written > 0;
    pollfd entry{fdOf(handle), POLLOUT, 0};
    const int ready = poll(&entry, 1, millisecondsUntil(deadline));
    if (ready < 0 && errno != EINTR) return *written > 0;
    if (ready == 0) {
      // The device takes no more: what was written counts, nothing at all
      // is a failed write.
      if (*written > 0) return true;
      errno = ETIMEDOUT;
      return false;
    }
  }
}

bool backendRead(PortHandle handle, char* destination, size_t count, size_t* got) {
  *got = 0;
  if (count == 0) return true;
  const auto deadline = deadlineAfter(kReadWaitMs);
  for (;;) {
    pollfd entry{fdOf(handle), POLLIN, 0};
    const int ready = poll(&entry, 1, millisecondsUntil(deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (ready == 0) return true;  // silence for the whole wait
    if ((entry.revents & POLLNVAL) != 0) {
      errno = EBADF;
      return false;
    }
    // Characters, or a hang-up or an error, which the read tells.
    const ssize_t read = ::read(fdOf(handle), destination, count);
    if (read > 0) {
      *got = static_cast<size_t>(read);
      return true;
    }
    if (read < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    // The end of a terminal's input: the other side is gone.
    if (read == 0) errno = EIO;
    return false;
  }
}

void backendClose(PortHandle handle) { close(fdOf(handle)); }
