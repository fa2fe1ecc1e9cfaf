// What zort-read needs of the platform beyond the serial port: one file per
// platform (reader_platform_posix.cpp, reader_platform_win32.cpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "report/report.h"
#include "tools/zort-read/journal.h"

bool isTerminal(FILE* stream);


// Lets a console show UTF-8 (Windows); nothing elsewhere.
void prepareConsole();

LocalTime localNow();

// The local time with its distance from UTC, for the journal and --json.
ZonedTime zonedNow();

// Sleeps; a station's main loop and its slots wait so.
void sleepMs(uint32_t milliseconds);

// A command-line argument, or a path built from one, as UTF-8.
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
