// One run of zort-ident.exe under the rig: the simulator on COM1, the dialog
// in a folder of its own (its current directory, where reports land), and
// the driver that works it.
#pragma once

#include <string>
#include <vector>

#include "tests/gui/child_process.h"
#include "tests/gui/gui_rig.h"
#include "tests/support/sim_process.h"

struct IdentSession {
  std::string directory;  // the run's files; its "work" folder is the dialog's current one
  SimProcess sim;
  Child ident;
  int identExit = -3;  // not yet ended
};

// Fresh folder named after the run, the simulator started with simArguments
// (plus --log), COM1 pointed at its line, then zort-ident.exe started in the
// run's "work" folder, or in workDirectory (made if missing) when given.
bool startIdentSession(const GuiRig& rig, const std::string& name,
                       const std::vector<std::string>& simArguments, IdentSession& session,
                       std::string& error, const std::string& workDirectory = "");

// Runs the driver on the commands; one result for each, in order
// ("<no answer>" for a command the driver did not get to).
std::vector<std::string> drive(const GuiRig& rig, const IdentSession& session,
                               const std::vector<std::string>& commands);

// Waits for zort-ident to end by itself; its exit code, -2 on a time-out.
int waitIdentExit(IdentSession& session, int timeoutMs);

// Ends whatever still runs.
void stopIdentSession(IdentSession& session);

std::string identStdout(const IdentSession& session);
std::string identStderr(const IdentSession& session);
// The requests the simulator served: one line each.
std::vector<std::string> simRequests(const IdentSession& session);
// The unix process of the dialog program, for its processor time.
int identPid(const IdentSession& session);

// The processor time the dialog's process has used so far, in ms, from
// /proc (Wine 8 does not account another process's times); -1 without it.
double unixCpuMs(const IdentSession& session);
