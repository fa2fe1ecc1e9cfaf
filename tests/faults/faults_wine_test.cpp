// The fault matrix through zort-read.exe under Wine, COM5 mapped to the
// pseudo-terminal of a zort-sim. One Wine start for all rows. Exits 77
// (skipped) when Wine or the .exe is missing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "tests/faults/fault_rows.h"
#include "tests/wine/wine_rig.h"

namespace {

constexpr int kSkipExitCode = 77;
const char* const kExe = ZORT_READ_EXE;
const char* const kCom = "COM5";

WineRig gRig;

bool connectLine(const std::string& linePath, std::string& port, std::string& error) {
  port = kCom;
  return connectComPort(gRig, kCom, linePath, error);
}

ProcessResult runExe(const std::vector<std::string>& arguments) {
  return runWineProgram(gRig, kExe, arguments, 120000);
}

class WineFaultTest : public testing::TestWithParam<FaultRow> {};

TEST_P(WineFaultTest, ShowsTheFaultThenReadsAGoodLine) {
  checkFaultRow(GetParam(), {connectLine, runExe, windowsPath});
}

INSTANTIATE_TEST_SUITE_P(Faults, WineFaultTest, testing::ValuesIn(faultRows()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string why;
  if (!wineFound(why)) {
    std::printf("SKIPPED: %s\n", why.c_str());
    return kSkipExitCode;
  }
  if (access(kExe, R_OK) != 0) {
    std::printf("SKIPPED: %s is not built (cmake --preset windows && cmake --build build/windows)\n",
                kExe);
    return kSkipExitCode;
  }
  std::string error;
  if (!prepareWineRig(gRig, ZORT_WINE_ROOT, "faults", {}, error) ||
      !mapComPorts(gRig, {kCom}, error)) {
    std::printf("Wine rig: %s\n", error.c_str());
    stopWineRig(gRig);
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  stopWineRig(gRig);
  return result;
}
