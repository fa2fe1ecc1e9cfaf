#include "tools/zort-sim/reply_render.h"

#include <gtest/gtest.h>

#include <string>

#include "protocol/frame.h"

namespace {

const std::string kEchoA = ":00020041380085\r\n";

ScenarioEntry entryFor(const std::string& line) {
  Scenario scenario;
  const ScenarioError error = parseScenario(line, scenario);
  EXPECT_EQ(error.line, 0u) << error.message;
  return scenario.entries.empty() ? ScenarioEntry{} : scenario.entries[0];
}

struct RenderCase {
  const char* name;
  const char* line;  // scenario line for code A
  std::string characters;
  StatusCode decodes;   // what decodeReplyFrame makes of the characters after any echo
  bool hangUp;
  size_t hangUpAfter;
};

class RenderedReplies : public ::testing::TestWithParam<RenderCase> {};

TEST_P(RenderedReplies, SendsTheseCharacters) {
  const RenderCase& c = GetParam();
  const ReplyPlan plan = renderReply(entryFor(c.line), 'A');
  EXPECT_EQ(plan.characters, c.characters);
  EXPECT_EQ(plan.hangUp, c.hangUp);
  if (c.hangUp) {
    EXPECT_EQ(plan.hangUpAfter, c.hangUpAfter);
  }

  std::string frame = plan.characters;
  if (frame.compare(0, kEchoA.size(), kEchoA) == 0) frame.erase(0, kEchoA.size());
  uint8_t bytes[kMaxReplyCharacters] = {};
  const DecodedReply decoded = decodeReplyFrame(frame.data(), frame.size(), bytes, sizeof bytes);
  EXPECT_EQ(decoded.status, c.decodes) << frame;
}

// 0A 0B 0C 0D 0E 0F: sum 0x4B, LRC 0xB5.
const std::string kFrame = ":0A0B0C0D0E0FB5\r\n";
const RenderCase kRenderCases[] = {
    {"normal", "A reply=0A0B0C0D0E0F", kFrame, kStatusOk, false, 0},
    {"lrc_wraps", "A reply=000000000000", ":00000000000000\r\n", kStatusOk, false, 0},
    {"bad_lrc", "A reply=0A0B0C0D0E0F bad-lrc", ":0A0B0C0D0E0FB6\r\n", kStatusBadFormat, false, 0},
    {"bad_lrc_wraps", "A reply=000000000001 bad-lrc", ":00000000000100\r\n", kStatusBadFormat, false, 0},
    {"lowercase", "A reply=0A0B0C0D0E0F lowercase", ":0a0b0c0d0e0fb5\r\n", kStatusBadFormat, false, 0},
    {"echo", "A reply=0A0B0C0D0E0F echo", kEchoA + kFrame, kStatusOk, false, 0},
    {"echo_only", "A echo-only", kEchoA, kStatusBadFormat, false, 0},
    {"silent", "A silent", "", kStatusBadFormat, false, 0},
    {"prefix_suffix", "A reply=0A0B0C0D0E0F prefix=\\x00z suffix=\\r\\n",
     std::string("\0z", 2) + kFrame + "\r\n", kStatusBadFormat, false, 0},
    {"suffix_only", "A reply=0A0B0C0D0E0F suffix=\\r\\n", kFrame + "\r\n", kStatusBadFormat, false, 0},
    {"length_short", "A reply=0A0B0C0D0E0F length=7", ":0A0B0C", kStatusBadFormat, false, 0},
    {"length_exact", "A reply=0A0B0C0D0E0F length=17", kFrame, kStatusOk, false, 0},
    {"length_long", "A reply=0A0B0C0D0E0F length=21", ":0A0B0C0D0E0FB50000\r\n", kStatusOk, false, 0},
    {"length_long_odd", "A reply=0A0B0C0D0E0F length=20", ":0A0B0C0D0E0FB5000\r\n", kStatusOk, false, 0},
    {"length_with_echo", "A reply=0A0B0C0D0E0F echo length=3", kEchoA + ":0A", kStatusBadFormat, false, 0},
    {"raw", "A raw=:0A0B0C0D0E0FB5\\r\\n", kFrame, kStatusOk, false, 0},
    {"raw_length", "A raw=hello length=6", "hello\r", kStatusBadFormat, false, 0},
    {"hangup_inside", "A reply=0A0B0C0D0E0F hangup=5", ":0A0B", kStatusBadFormat, true, 5},
    {"hangup_after_echo", "A reply=0A0B0C0D0E0F echo hangup=19", kEchoA + ":0", kStatusBadFormat, true, 19},
    {"hangup_beyond", "A reply=0A0B0C0D0E0F hangup=99", kFrame, kStatusOk, true, 17},
    {"hangup_silent", "A silent hangup=0", "", kStatusBadFormat, true, 0},
    {"everything", "A reply=0A0B0C0D0E0F echo bad-lrc lowercase prefix=! length=20",
     kEchoA + "!:0a0b0c0d0e0fb6000\r\n", kStatusBadFormat, false, 0},
};
INSTANTIATE_TEST_SUITE_P(All, RenderedReplies, ::testing::ValuesIn(kRenderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReplyPlan, CarriesPauseAndDelay) {
  const ReplyPlan plan = renderReply(entryFor("A reply=0A0B0C0D0E0F pause=5:120 delay=30"), 'A');
  EXPECT_EQ(plan.characters, kFrame);
  EXPECT_TRUE(plan.hasPause);
  EXPECT_EQ(plan.pauseAfter, 5u);
  EXPECT_EQ(plan.pauseMs, 120u);
  EXPECT_EQ(plan.delayMs, 30u);
}

TEST(ReplyPlan, EchoIsTheRequestOfTheCodeAsked) {
  const ReplyPlan plan = renderReply(entryFor("0x49 echo-only"), 0x49);
  EXPECT_EQ(plan.characters, ":0002004938007D\r\n");
}

TEST(ReplySchedule, EachCharacterGoesOutOnceItHasCrossedTheLine) {
  ReplyPlan plan;
  plan.characters = "abcde";
  const int64_t c = 8330000;
  EXPECT_EQ(characterOffsets(plan, c), (std::vector<int64_t>{c, 2 * c, 3 * c, 4 * c, 5 * c}));
  EXPECT_EQ(characterOffsets(plan, 0), (std::vector<int64_t>{0, 0, 0, 0, 0}));

  plan.hasPause = true;
  plan.pauseAfter = 2;
  plan.pauseMs = 40;
  const int64_t p = 40000000;
  EXPECT_EQ(characterOffsets(plan, c), (std::vector<int64_t>{c, 2 * c, 3 * c + p, 4 * c + p, 5 * c + p}));
  EXPECT_EQ(characterOffsets(plan, 0), (std::vector<int64_t>{0, 0, p, p, p}));
  plan.pauseAfter = 0;
  EXPECT_EQ(characterOffsets(plan, c).front(), c + p);
}

TEST(ReplySchedule, HangUpFollowsTheLastCharacterLetThrough) {
  ReplyPlan plan;
  plan.characters = "abc";
  plan.hangUp = true;
  plan.hangUpAfter = 3;
  const std::vector<int64_t> offsets = characterOffsets(plan, 10);
  EXPECT_EQ(hangUpOffset(plan, offsets), 30);
  plan.characters.clear();
  plan.hangUpAfter = 0;
  EXPECT_EQ(hangUpOffset(plan, characterOffsets(plan, 10)), 0);
}

// A long reply keeps its pace: no character is later than its slot.
TEST(ReplySchedule, LongRepliesDoNotDrift) {
  ReplyPlan plan;
  plan.characters.assign(600, '0');
  const int64_t c = 8333333;
  const std::vector<int64_t> offsets = characterOffsets(plan, c);
  EXPECT_EQ(offsets.back(), 600 * c);
}

}  // namespace
