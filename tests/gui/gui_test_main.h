// The GUI test programs that share one rig for all their tests: the main
// (gui_test_main.cpp) skips (exit 77) without the rig's tools or programs,
// starts the rig once, runs the tests and stops it. Library zort_gui_test_main.
#pragma once

#include <string>
#include <vector>

#include "tests/gui/gui_rig.h"
#include "tests/gui/gui_steps.h"

// The running program's rig.
extern GuiRig* gRig;

// driveSteps on the program's rig.
std::vector<std::string> runSteps(const IdentSession& session, const std::vector<Step>& steps);
