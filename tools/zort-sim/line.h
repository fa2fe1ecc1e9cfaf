// The serial line zort-sim serves: a new pseudo-terminal or a given tty.
#pragma once

#include <string>

struct SimLine {
  int fd = -1;      // the side zort-sim reads and writes (pty master or the device)
  int holdFd = -1;  // pty slave kept open so that a client's close does not hang up the line
  std::string path; // what a client opens
};

// Opens a pseudo-terminal, both sides raw. Returns "" or the reason.
std::string openPseudoTerminalLine(SimLine& line);

// Opens and configures a tty: raw, 1200 baud, 8N1. Returns "" or the reason.
std::string openDeviceLine(const std::string& path, SimLine& line);

// Hangs the line up: lets the client read what was sent (bounded wait), then
// closes it.
void hangUpLine(SimLine& line);

void closeLine(SimLine& line);
