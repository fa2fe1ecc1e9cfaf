// Runs a program as a child process for tests, with its standard output and
// standard error captured, and a time limit; on the one process starter
// (os/child_process.h).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "os/child_process.h"

struct ProcessResult {
  int exitCode = -1;  // -1: ended abnormally or could not start; -2: killed at the time-out
  std::string out;
  std::string err;
};

struct ProcessOptions {
  // "NAME=value" sets a variable of the inherited environment, "NAME" alone
  // removes it.
  std::vector<std::string> environment;
  std::string workingDirectory;  // "" keeps the current one
  int timeoutMs = 60000;
  // Standard output and error to /dev/null instead of being captured.
  bool discardOutput = false;
};

// arguments[0] is the program (a path, or a name looked up in PATH).
ProcessResult runProcess(const std::vector<std::string>& arguments, const ProcessOptions& options);

// Starts the program in the background with its output to /dev/null;
// returns its process id, or -1.
pid_t startProcess(const std::vector<std::string>& arguments, const ProcessOptions& options);

// Waits up to timeoutMs for a started process; kills it at the time-out.
// Returns its exit code, -1 for an abnormal end, -2 for a time-out.
int waitProcess(pid_t pid, int timeoutMs);

// The environment of this process with the changes of ProcessOptions.
std::vector<std::string> changedEnvironment(const std::vector<std::string>& changes);
