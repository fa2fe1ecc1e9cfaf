// The main of the GUI test programs that run all their tests on one rig:
// fails or skips (tests/support's cannotRun) without the rig's tools or the
// programs, starts the rig once in a Wine prefix of the program's own (named
// after it), runs the tests, stops it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/gui/gui_test_main.h"

GuiRig* gRig = nullptr;

std::vector<std::string> runSteps(const IdentSession& session, const std::vector<Step>& steps) {
  return driveSteps(*gRig, session, steps);
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  static GuiRig rig;
  const std::string program = argv[0];
  const std::string name = program.substr(program.find_last_of('/') + 1);
  std::filesystem::create_directories(std::string(ZORT_GUI_RIG_DIR) + "/" + name);
  if (const int code = openGuiRig(rig, std::string(ZORT_GUI_RIG_DIR) + "/" + name, name,
                                  {ZORT_IDENT_EXE, ZORT_DRIVE_EXE}, "the GUI tests");
      code != 0)
    return code;
  gRig = &rig;
  const int result = RUN_ALL_TESTS();
  stopGuiRig(rig);
  return result;
}
