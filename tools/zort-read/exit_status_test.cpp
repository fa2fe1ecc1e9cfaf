// The exit status from the ports' verdicts: the worst of them.
#include "tools/zort-read/exit_status.h"

#include <gtest/gtest.h>

namespace {

struct ExitCase {
  const char* name;
  std::vector<PortVerdict> verdicts;
  int exitStatus;
};

class ExitStatusTest : public testing::TestWithParam<ExitCase> {};

TEST_P(ExitStatusTest, IsTheWorstOfThePorts) {
  EXPECT_EQ(exitStatus(GetParam().verdicts), GetParam().exitStatus);
}

const ExitCase kExitCases[] = {
    {"NoPort", {}, 1},
    {"AllRead", {{kStatusOk, false, false}, {kStatusOk, false, false}}, 0},
    {"LargestStatus", {{kStatusNoAnswer, false, false}, {kStatusOpenFailed, false, false}}, 7},
    {"ReportFailed", {{kStatusWriteFileFailed, false, false}}, 9},
    {"Differs", {{kStatusOk, true, false}, {kStatusBadFormat, false, false}}, 11},
    {"ReportFailedAndDiffers", {{kStatusWriteFileFailed, true, false}}, 11},
    {"JournalFailed", {{kStatusOk, false, true}}, 9},
    {"JournalFailedAfterInterrupt", {{kStatusInterrupted, false, true}}, 10},
};

INSTANTIATE_TEST_SUITE_P(Cases, ExitStatusTest, testing::ValuesIn(kExitCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
