// The main of a GoogleTest program that runs a Windows program under Wine:
// skips (exit 77), or fails under CI, when Wine or the .exe is missing; prepares the rig once
// with the COM ports mapped, runs the tests and stops the rig.
#pragma once

#include <string>
#include <vector>

#include "tests/wine/wine_rig.h"

int runWineTests(int argc, char** argv, WineRig& rig, const char* exe,
                 const std::string& prefixName, const std::vector<std::string>& comPorts);
