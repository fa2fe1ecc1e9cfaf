#include "tools/zort-read/verdict.h"

#include <gtest/gtest.h>

#include "tests/support/golden_texts.h"

namespace {

using golden::utf8;

// "Could not check" stays apart from "checked, and it differs".
TEST(Verdict, ErrorWhenTheReadFailedFailWhenAValueDiffers) {
  EXPECT_EQ(verdictOf(kStatusOk, false), Verdict::kPass);
  EXPECT_EQ(verdictOf(kStatusOk, true), Verdict::kFail);
  for (const StatusCode status : {kStatusOpenFailed, kStatusNoAnswer, kStatusInterrupted}) {
    EXPECT_EQ(verdictOf(status, false), Verdict::kError) << status;
    EXPECT_EQ(verdictOf(status, true), Verdict::kError) << status;
  }
  EXPECT_EQ(verdictWord(Verdict::kPass), "pass");
  EXPECT_EQ(verdictWord(Verdict::kFail), "fail");
  EXPECT_EQ(verdictWord(Verdict::kError), "error");
}

struct TallyCase {
  const char* name;
  std::vector<std::pair<Verdict, int>> instruments;
  const char8_t* summary;
  int exitStatus;
};

class StationTallyTest : public testing::TestWithParam<TallyCase> {};

TEST_P(StationTallyTest, SummaryAndExitStatus) {
  StationTally tally;
  for (const auto& [verdict, status] : GetParam().instruments) countInstrument(tally, verdict, status);
  EXPECT_EQ(summaryLine(tally), utf8(GetParam().summary));
  EXPECT_EQ(tally.exitStatus, GetParam().exitStatus);
}

const TallyCase kTallyCases[] = {
    {"NoneRead", {}, u8"итого: 0 годен, 0 не годен, 0 ошибка", 0},
    {"AllPassed", {{Verdict::kPass, 0}, {Verdict::kPass, 0}}, u8"итого: 2 годен, 0 не годен, 0 ошибка", 0},
    {"OneDiffered",
     {{Verdict::kPass, 0}, {Verdict::kFail, 11}, {Verdict::kError, 7}},
     u8"итого: 1 годен, 1 не годен, 1 ошибка", 11},
    {"LargestFailure",
     {{Verdict::kError, 7}, {Verdict::kError, 2}, {Verdict::kPass, 0}},
     u8"итого: 1 годен, 0 не годен, 2 ошибка", 7},
    // A row that could not be kept counts although the instrument passed.
    {"JournalNotKept", {{Verdict::kPass, 9}}, u8"итого: 1 годен, 0 не годен, 0 ошибка", 9},
};

INSTANTIATE_TEST_SUITE_P(Stations, StationTallyTest, testing::ValuesIn(kTallyCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
