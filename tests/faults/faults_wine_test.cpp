// The fault matrix through zort-read.exe under Wine, COM5 mapped to the
// pseudo-terminal of a zort-sim. One Wine start for all rows. Exits 77
// (skipped; 1 under CI) when Wine or the .exe is missing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "tests/faults/fault_rows.h"
#include "tests/wine/wine_rig.h"
#include "tests/wine/wine_test_main.h"

namespace {

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
  return runWineTests(argc, argv, gRig, kExe, "faults", {kCom});
}
