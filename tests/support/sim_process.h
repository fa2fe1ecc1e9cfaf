// Runs zort-sim as a child process for native tests: start it with given
// arguments, learn the path of the line it serves, stop it and reap it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/files.h"

struct SimProcess {
  pid_t pid = -1;
  int stdoutFd = -1;     // read end of the sim's standard output
  std::string linePath;  // the first line the sim printed: the pty slave (or --device path)
};

// The zort-sim binary of this build.
const char* zortSimPath();

// Starts zort-sim with arguments (program name not included) and waits up to
// timeoutMs for its first line. On failure the child, if any, is killed and
// reaped, sim is left stopped and false is returned (with a reason in error).
bool startSim(SimProcess& sim, const std::vector<std::string>& arguments, std::string& error,
              int timeoutMs = 10000);

// Sends SIGTERM and reaps the sim. Returns its exit code, or -1 if it did not
// exit normally within timeoutMs (it is then killed with SIGKILL and reaped).
int stopSim(SimProcess& sim, int timeoutMs = 5000);

// Waits up to timeoutMs for the sim to exit by itself (e.g. after a hang-up)
// and reaps it. Returns its exit code, or -1 on a time-out or an abnormal end;
// on a time-out the sim is left running.
int waitSimExit(SimProcess& sim, int timeoutMs);
