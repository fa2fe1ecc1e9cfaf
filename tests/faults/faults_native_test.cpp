// The fault matrix through zort-read natively, against zort-sim on a
// pseudo-terminal.
#include <gtest/gtest.h>

#include "tests/faults/fault_rows.h"

namespace {

ProcessResult runReader(const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {ZORT_READ_PATH};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProcessOptions options;
  options.timeoutMs = 60000;
  return runProcess(command, options);
}

class NativeFaultTest : public testing::TestWithParam<FaultRow> {};

TEST_P(NativeFaultTest, ShowsTheFaultThenReadsAGoodLine) {
  checkFaultRow(GetParam(), {connectNativeLine, runReader, nativeFolder});
}

INSTANTIATE_TEST_SUITE_P(Faults, NativeFaultTest, testing::ValuesIn(faultRows()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
