// Child processes for the GUI rig: started with a given environment, working
// directory and redirected standard streams; waited for with a time limit.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process_run.h"

// Environment: the child's whole environment, in place of the test's own.
using ChildSpec = SpawnSpec;

struct Child {
  pid_t pid = -1;
};

bool startChild(const ChildSpec& launch, Child& child, std::string& error);

// The exit code, -1 for an abnormal end, -2 when it is still running after
// timeoutMs (it is then left running).
int waitChild(Child& child, int timeoutMs);

// SIGTERM, then SIGKILL if it has not ended within graceMs; always reaped.
void stopChild(Child& child, int graceMs = 3000);

// Starts, waits, and kills on a time-out (result -2 then).
int runChild(const ChildSpec& launch, int timeoutMs, std::string& error);

