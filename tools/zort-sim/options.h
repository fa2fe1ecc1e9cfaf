// The command line of zort-sim.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct SimOptions {
  std::string device;        // serve this tty instead of a new pseudo-terminal
  std::string scenarioPath;  // "" for the built-in scenario
  std::string logPath;       // "" for no request log
  double charMs = 8.33;      // time of one character on the line; 0: no pacing
  double turnaroundMs = 20;  // from a received request to its reply
  bool printDefault = false;
  bool help = false;
};

extern const char* const kSimUsage;

// Parses the arguments after the program name. Returns "" or the reason.
std::string parseSimOptions(const std::vector<std::string_view>& arguments, SimOptions& options);
