// zort-line-check.exe under Wine: the DCB and time-outs against the driver's
// documented rules, then COM3 opened on zort-sim's line, read back and
// measured. Exits 77 (skipped; 1 under CI) without Wine or the .exe.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/sim_port.h"
#include "tests/wine/wine_rig.h"
#include "tests/wine/wine_test_main.h"

namespace {

const char* const kExe = ZORT_LINE_CHECK_EXE;
WineRig gRig;

TEST(WineLineSettings, FollowTheDriversRulesAndReadsEndAtFortyMillisecondsOfSilence) {
  SimProcess sim;
  std::string scenarioPath;
  std::string error;
  ASSERT_TRUE(startScenarioSim(sim, scenarioPath, "", {"--char-ms", "8.33"}, error)) << error;
  ASSERT_TRUE(connectComPort(gRig, "COM3", sim.linePath, error)) << error;
  const ProcessResult result = runWineProgram(gRig, kExe, {"COM3"}, 60000);
  stopScenarioSim(sim, scenarioPath);
  std::printf("%s", result.out.c_str());
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("\n0 failed"), std::string::npos) << result.out;
}

}  // namespace

int main(int argc, char** argv) {
  return runWineTests(argc, argv, gRig, kExe, "serial", {"COM3"});
}
