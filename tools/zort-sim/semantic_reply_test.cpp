// Replies written in the scenario's semantic form (and the built-in
// scenario) give the value texts the reader's own parser makes of them.
#include <gtest/gtest.h>

#include "tools/zort-sim/printable_for_tests.h"

#include <string>

#include "protocol/frame.h"
#include "protocol/reply_parser.h"
#include "tools/zort-sim/default_scenario.h"
#include "tools/zort-sim/reply_render.h"
#include "tools/zort-sim/scenario.h"
#include "tests/support/param_names.h"

namespace {

// Decodes the rendered frame as the reader does and formats it at position.
std::string valueShown(const ScenarioEntry& entry, size_t position, ResultStore& results) {
  const std::string frame = renderReply(entry, entry.code).characters;
  ReplyStore store{};
  const DecodedReply decoded =
      decodeReplyFrame(frame.data(), frame.size(), store.bytes.data(), kReplyShare);
  EXPECT_EQ(decoded.status, kStatusOk) << frame;
  const ReplySlot slot = {static_cast<uint16_t>(decoded.length), store.bytes.data(), kStatusOk};
  EXPECT_EQ(formatParameter(slot, position, results), kStatusOk);
  return std::string(valueText(results[position]));
}

TEST(DefaultScenario, ReadsAsTheBuiltInInstrument) {
  Scenario scenario;
  const ScenarioError error = parseScenario(kDefaultScenario, scenario);
  ASSERT_EQ(error.line, 0u) << error.message;
  const char* expected[kParameterCount] = {"22", "2025", "72C0", "ZT-004217", "50", "1"};
  ResultStore results{};
  for (size_t position = 0; position < kParameterCount; ++position) {
    const uint8_t code = kParameterTable[position].code;
    SCOPED_TRACE(code);
    ASSERT_EQ(scenario.byCode[code].size(), 1u);
    const ScenarioEntry& entry = scenario.entries[scenario.byCode[code][0]];
    EXPECT_EQ(describeEntry(entry).substr(0, 6), "normal");
    EXPECT_EQ(valueShown(entry, position, results), expected[position]);
  }
  EXPECT_EQ(scenario.entries.size(), kParameterCount);
}

struct SemanticCase {
  const char* line;
  size_t position;
  const char* shown;
};

void PrintTo(const SemanticCase& c, std::ostream* out) { *out << printable(c.line); }


class SemanticReplies : public ::testing::TestWithParam<SemanticCase> {};

TEST_P(SemanticReplies, ShowAsExpected) {
  const SemanticCase& c = GetParam();
  Scenario scenario;
  const ScenarioError error = parseScenario(c.line, scenario);
  ASSERT_EQ(error.line, 0u) << error.message;
  ResultStore results{};
  EXPECT_EQ(valueShown(scenario.entries.at(0), c.position, results), c.shown);
}

const SemanticCase kSemanticCases[] = {
    {"A type=1 value=14", 0, "20"},
    {"b type=3 value=0102", 2, " 102"},
    {"B type=3 value=0102 text1=x text2=yz", 1, "258"},
    {"I type=2 value=FF text2=", 4, "-1"},
    {"F type=6 value=FFFFFFFE", 5, "-2"},
    {"F type=5 value=FFFFFFFE", 5, "4294967294"},
    {"F type=7 value=0000803F", 5, "1.000000"},
    {"F type=12 value=000003", 5, "8"},
    {"F type=14 value=0000000001F4", 5, "500"},
    {"@ type=11 text=\\xC7\\xE0\\xE2-7 text1=Serial text2=N", 3, "\xC7\xE0\xE2-7"},
    {"@ type=11 text=", 3, ""},
    {"F type=1 value=2A header=FFFFFFFFFF", 5, "42"},
    {"b reply=0002006238000003A819", 2, "A819"},
};
INSTANTIATE_TEST_SUITE_P(All, SemanticReplies, ::testing::ValuesIn(kSemanticCases),
                         [](const auto& info) { return readableCaseName(info.index, info.param.line); });

}  // namespace
