// What the GUI test programs share: the rig, started once by their main
// (gui_test_main.cpp), the dialog's sessions, and driver commands with the
// results they must give.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/gui/gui_rig.h"
#include "tests/gui/ident_session.h"

// The rig of the running test program.
extern GuiRig* gRig;

// At 1200 baud a cycle takes some 3 s; this bounds a stuck program, not its speed.
constexpr const char* kCycleWaitMs = "30000";

// One driver command and the result it must give (nullptr: not checked).
struct Step {
  std::string command;
  const char* expected;
};

// Runs the steps in one driver and checks each result; returns them all.
std::vector<std::string> runSteps(const IdentSession& session, const std::vector<Step>& steps);

std::vector<Step> concat(std::vector<Step> first, const std::vector<Step>& second);

// Choose COM1 and open it.
extern const std::vector<Step> kOpenCom1;

// The values the simulator's default instrument gives, control by control.
extern const std::vector<Step> kDefaultValues;

std::vector<std::string> split(const std::string& text, char separator);

// One run of the dialog with the simulator on COM1, ended when it goes.
class Session {
 public:
  Session(const std::string& name, const std::vector<std::string>& simArguments);
  ~Session();
  bool started() const { return started_; }
  IdentSession& get() { return session_; }

 private:
  IdentSession session_;
  bool started_ = false;
};

std::vector<std::string> paced();    // the simulator's 1200-baud pacing
std::vector<std::string> unpaced();  // as fast as it can
