// What zort-read needs of the platform beyond the serial port: one file per
// platform (reader_platform_posix.cpp, reader_platform_win32.cpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "report/report.h"

bool isTerminal(FILE* stream);

// Standard output and error in binary mode (Windows); nothing elsewhere.
void prepareConsole();

LocalTime localNow();

// A command-line argument, or a path built from one, as UTF-8: the text
// itself, since the arguments are UTF-8 on every platform.
std::string nativeToUtf8(std::string_view text);

// The built-in simulated instrument: zort-sim, found beside zort-read, on a
// pseudo-terminal. Linux only.
struct SimulatorProcess {
  intptr_t id = -1;
  int output = -1;
  std::string linePath;
};

// false with a reason in error.
bool startSimulator(SimulatorProcess& simulator, std::string& error);
void stopSimulator(SimulatorProcess& simulator);
