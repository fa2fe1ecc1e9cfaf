#include "tests/wine/wine_test_main.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

int runWineTests(int argc, char** argv, WineRig& rig, const char* exe,
                 const std::string& prefixName, const std::vector<std::string>& comPorts) {
  testing::InitGoogleTest(&argc, argv);
  std::string why;
  if (!wineFound(why)) {
    std::printf("SKIPPED: %s\n", why.c_str());
    return kWineSkipExitCode;
  }
  if (access(exe, R_OK) != 0) {
    std::printf("SKIPPED: %s is not built (cmake --preset windows && cmake --build build/windows)\n",
                exe);
    return kWineSkipExitCode;
  }
  std::string error;
  if (!prepareWineRig(rig, ZORT_WINE_ROOT, prefixName, {}, error) ||
      !mapComPorts(rig, comPorts, error)) {
    std::printf("Wine rig: %s\n", error.c_str());
    stopWineRig(rig);
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  stopWineRig(rig);
  return result;
}
