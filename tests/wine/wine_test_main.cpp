#include "tests/wine/wine_test_main.h"

#include <gtest/gtest.h>

#include <cstdio>

int runWineTests(int argc, char** argv, WineRig& rig, const char* exe,
                 const std::string& prefixName, const std::vector<std::string>& comPorts) {
  testing::InitGoogleTest(&argc, argv);
  std::string why;
  wineFound(why);
  why = withMissingPrograms(why, {exe});
  if (!why.empty()) return cannotRun(why);
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
