#include "tests/support/line_mode.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

int openLineWithOtherSettings(const std::string& linePath) {
  const int line = open(linePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (line < 0) return -1;
  termios mode{};
  if (tcgetattr(line, &mode) != 0) {
    close(line);
    return -1;
  }
  mode.c_cc[VSTART] = 0x01;
  mode.c_cc[VSTOP] = 0x02;
  mode.c_iflag |= IXON | IXOFF;
  cfsetspeed(&mode, B9600);
  if (tcsetattr(line, TCSANOW, &mode) != 0) {
    close(line);
    return -1;
  }
  return line;
}

std::string instrumentLineDifferences(int line) {
  termios mode{};
  const bool read = tcgetattr(line, &mode) == 0;
  close(line);
  if (!read) return "the line's settings cannot be read";
  std::string differences;
  auto note = [&differences](bool wrong, const char* what) {
    if (wrong) differences += std::string(differences.empty() ? "" : "; ") + what;
  };
  note(cfgetospeed(&mode) != B1200 || cfgetispeed(&mode) != B1200, "not 1200 baud");
  note((mode.c_cflag & CSIZE) != CS8, "not 8 data bits");
  note((mode.c_cflag & PARENB) != 0, "parity");
  note((mode.c_cflag & CSTOPB) != 0, "two stop bits");
  note((mode.c_cflag & CRTSCTS) != 0, "RTS/CTS flow control");
  note((mode.c_iflag & (IXON | IXOFF)) != 0, "XON/XOFF flow control");
  char characters[64];
  std::snprintf(characters, sizeof characters, "XON 0x%02X and XOFF 0x%02X",
                static_cast<unsigned>(mode.c_cc[VSTART]), static_cast<unsigned>(mode.c_cc[VSTOP]));
  note(mode.c_cc[VSTART] != 0x11 || mode.c_cc[VSTOP] != 0x13, characters);
  return differences;
}
