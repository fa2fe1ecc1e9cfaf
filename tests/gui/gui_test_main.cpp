// The main of every GUI test program: skips (exit 77) without the rig's
// tools or the programs, starts the rig once, runs the tests, stops it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/gui/gui_test_main.h"

GuiRig* gRig = nullptr;

std::vector<std::string> runSteps(const IdentSession& session, const std::vector<Step>& steps) {
  return driveSteps(*gRig, session, steps);
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::string missing = missingRigTools();
  for (const char* program : {ZORT_IDENT_EXE, ZORT_DRIVE_EXE})
    if (access(program, R_OK) != 0) missing += std::string(missing.empty() ? "" : ", ") + program;
  if (!missing.empty()) {
    std::printf("SKIPPED: the GUI rig needs %s\n", missing.c_str());
    return 77;
  }
  static GuiRig rig;
  std::string error;
  if (!startGuiRig(rig, ZORT_GUI_RIG_DIR, ZORT_WINE_ROOT, error)) {
    std::printf("the GUI rig did not start: %s\n", error.c_str());
    stopGuiRig(rig);
    return 1;
  }
  gRig = &rig;
  const int result = RUN_ALL_TESTS();
  stopGuiRig(rig);
  return result;
}
