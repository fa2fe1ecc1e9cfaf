// The Windows build's zort-read.exe under Wine, reading zort-sim through a
// COM port that Wine maps to the sim's pseudo-terminal. One program, one
// Wine start: the reader cases run in a row. Exits 77 (skipped; 1 under CI) when Wine
// or the .exe is missing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/sim_port.h"
#include "tests/support/test_instrument.h"
#include "tests/wine/wine_rig.h"
#include "tests/wine/wine_test_main.h"
#include "tools/zort-read/reader_cases.h"

namespace {

constexpr int kRunTimeoutMs = 120000;
const char* const kExe = ZORT_READ_EXE;

// COM5 for most cases; COM12 opens only through the device namespace.
const std::vector<std::string> kComPorts = {"COM5", "COM12"};

WineRig gRig;

ProcessResult runExe(const std::vector<std::string>& arguments) {
  return runWineProgram(gRig, kExe, arguments, kRunTimeoutMs);
}

class WineReaderTest : public testing::Test {
 protected:
  // A sim with the scenario on its own pty, which com then stands for.
  void startSimOn(const std::string& com, const std::string& scenario,
                  std::vector<std::string> arguments = {"--char-ms", "0"}) {
    std::string error;
    ASSERT_TRUE(startScenarioSim(sim, scenarioPath, scenario, arguments, error)) << error;
    ASSERT_TRUE(connectComPort(gRig, com, sim.linePath, error)) << error;
  }
  void TearDown() override {
    stopScenarioSim(sim, scenarioPath);
    removeDirectory(directory);
  }

  SimProcess sim;
  std::string scenarioPath;
  std::string directory;
};

class WineReaderCaseTest : public WineReaderTest,
                           public testing::WithParamInterface<ReaderCase> {};

TEST_P(WineReaderCaseTest, PrintsOneJsonObjectAndExitsWithTheStatus) {
  const ReaderCase& c = GetParam();
  startSimOn("COM5", c.scenario);
  const ProcessResult result = runExe(withPort(c.arguments, "COM5"));
  EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
  EXPECT_EQ(result.out, expectedJson("COM5", c.exitCode, c.values));
  EXPECT_EQ(lineCount(result.err), c.exitCode == 0 ? 0u : 1u) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Cases, WineReaderCaseTest, testing::ValuesIn(readerCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WineReaderTest, OpensPortsAboveCom9) {
  startSimOn("COM12", instrumentScenario());
  const ProcessResult result = runExe({"--json", "COM12"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, expectedJson("COM12", 0, instrumentValues()));
}

TEST_F(WineReaderTest, PrintsTheLabelledValuesInUtf8) {
  startSimOn("COM5", instrumentScenario());
  const ProcessResult result = runExe({"COM5"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, expectedValueLines());
}

TEST_F(WineReaderTest, AnUnmappedPortFailsToOpen) {
  const ProcessResult result = runExe({"--json", "COM7"});
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_EQ(result.out, expectedJson("COM7", 2, ValueTexts{}));
}

TEST_F(WineReaderTest, WritesTheSameReportAsOnLinux) {
  startSimOn("COM5", instrumentScenario());
  directory = makeTemporaryDirectory();
  const ProcessResult result = runExe({"--report", windowsPath(directory), "COM5"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const auto files = filesIn(directory);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(isReportName(files[0], "ZT-004217")) << files[0];
  EXPECT_EQ(readWholeFile(directory + "/" + files[0]), expectedReportText());
}

TEST_F(WineReaderTest, ListsTheMappedPorts) {
  const ProcessResult result = runExe({"--list"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  for (const auto& com : kComPorts)
    EXPECT_NE(result.out.find(com + "\n"), std::string::npos) << result.out;
}

TEST_F(WineReaderTest, AUsageErrorExitsWith64) {
  const ProcessResult result = runExe({"--bogus"});
  EXPECT_EQ(result.exitCode, 64);
  EXPECT_EQ(lineCount(result.err), 1u) << result.err;
}

// Paced like a 1200-baud line, through Wine's serial layer.
TEST_F(WineReaderTest, PacedCycleTime) {
  startSimOn("COM5", instrumentScenario(), {"--char-ms", "8.33"});
  const ProcessResult result = runExe({"--trace", "--json", "COM5"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, expectedJson("COM5", 0, instrumentValues()));
  const long long cycleMs = tracedCycleMs(result.err);
  const double lineMs = static_cast<double>(instrumentCycleLineCharacters()) * 8.33;
  std::printf("zort-read.exe under Wine, paced: cycle %lld ms, line %.0f ms\n", cycleMs, lineMs);
  RecordProperty("cycle_ms", static_cast<int>(cycleMs));
  EXPECT_GE(static_cast<double>(cycleMs), lineMs);
  EXPECT_LE(static_cast<double>(cycleMs), 2 * lineMs + 1000);
}

}  // namespace

int main(int argc, char** argv) {
  return runWineTests(argc, argv, gRig, kExe, "reader", kComPorts);
}
