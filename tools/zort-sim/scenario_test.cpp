#include "tools/zort-sim/scenario.h"

#include <gtest/gtest.h>

#include "tools/zort-sim/printable_for_tests.h"

#include <fstream>
#include <string>
#include "tests/support/param_names.h"

namespace {

std::string hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string text;
  for (const char c : bytes) {
    text.push_back(digits[static_cast<uint8_t>(c) >> 4]);
    text.push_back(digits[static_cast<uint8_t>(c) & 0x0F]);
  }
  return text;
}

ScenarioEntry parseOne(const std::string& text) {
  Scenario scenario;
  const ScenarioError error = parseScenario(text, scenario);
  EXPECT_EQ(error.line, 0u) << error.message;
  EXPECT_EQ(scenario.entries.size(), 1u);
  return scenario.entries.empty() ? ScenarioEntry{} : scenario.entries[0];
}

struct BytesCase {
  const char* line;
  int code;
  const char* bytes;  // the reply bytes without the LRC, in hex
};

void PrintTo(const BytesCase& c, std::ostream* out) { *out << printable(c.line); }


class ReplyBytes : public ::testing::TestWithParam<BytesCase> {};

TEST_P(ReplyBytes, LineGivesTheseReplyBytes) {
  const BytesCase& c = GetParam();
  const ScenarioEntry entry = parseOne(c.line);
  EXPECT_EQ(entry.code, c.code);
  EXPECT_TRUE(entry.hasBytes);
  EXPECT_EQ(hex(entry.bytes), c.bytes);
}

const BytesCase kReplyBytes[] = {
    {"A reply=0002004138000016", 0x41, "0002004138000016"},
    {"0x41 reply=00ff", 0x41, "00FF"},
    {"0xC6 reply=", 0xC6, ""},
    // header 00 02 00 code 38, flags, first text and NUL, type, value
    {"A type=1 value=16", 0x41, "000200413800" "00" "01" "16"},
    {"b type=3 value=72c0 text1=Ab", 0x62, "000200623800" "416200" "03" "72C0"},
    // a second text sets flags bit 0
    {"I type=4 value=0032 text1=Bore text2=mm", 0x49, "000200493801" "426F726500" "6D6D00" "04" "0032"},
    {"I type=4 value=0032 text2=", 0x49, "000200493801" "00" "00" "04" "0032"},
    // type 11 as text: the NUL is added
    {"@ type=11 text=ZT-1", 0x40, "000200403800" "00" "0B" "5A542D3100"},
    {"@ type=11 value=4142", 0x40, "000200403800" "00" "0B" "4142"},
    {"F type=0x0A", 0x46, "000200463800" "00" "0A"},
    {"F type=1 value=07 header=0102030405", 0x46, "0102030405" "00" "00" "01" "07"},
    {"A type=1 value=16 text1=a\\sb\\x00", 0x41, "000200413800" "61206200" "00" "01" "16"},
};
INSTANTIATE_TEST_SUITE_P(All, ReplyBytes, ::testing::ValuesIn(kReplyBytes),
                         [](const auto& info) { return readableCaseName(info.index, info.param.line); });

TEST(Scenario, MisbehavioursAreAllTakenFromOneLine) {
  const ScenarioEntry entry = parseOne(
      "A type=1 value=16 echo bad-lrc lowercase pause=3:40 prefix=xx suffix=\\r length=30 "
      "hangup=12 delay=5");
  EXPECT_TRUE(entry.echo);
  EXPECT_TRUE(entry.badLrc);
  EXPECT_TRUE(entry.lowercase);
  EXPECT_TRUE(entry.hasPause);
  EXPECT_EQ(entry.pauseAfter, 3u);
  EXPECT_EQ(entry.pauseMs, 40u);
  EXPECT_EQ(entry.prefix, "xx");
  EXPECT_EQ(entry.suffix, "\r");
  EXPECT_TRUE(entry.hasLength);
  EXPECT_EQ(entry.length, 30u);
  EXPECT_TRUE(entry.hasHangUp);
  EXPECT_EQ(entry.hangUpAfter, 12u);
  EXPECT_EQ(entry.delayMs, 5u);
  EXPECT_FALSE(entry.silent);
  EXPECT_FALSE(entry.echoOnly);
}

TEST(Scenario, FormsWithoutAFrame) {
  EXPECT_TRUE(parseOne("A silent").silent);
  EXPECT_TRUE(parseOne("A silent hangup=0 delay=10").hasHangUp);
  EXPECT_TRUE(parseOne("A echo-only pause=5:100").echoOnly);
  const ScenarioEntry raw = parseOne("A raw=:12\\r\\n length=9 echo");
  EXPECT_TRUE(raw.hasRaw);
  EXPECT_EQ(raw.raw, ":12\r\n");
}

TEST(Scenario, CommentsBlankLinesAndCrLfAreSkippedAndLinesCounted) {
  Scenario scenario;
  const ScenarioError error = parseScenario(
      "# a scenario\r\n\r\n   \t\nA silent # not answered\r\nB type=1 value=01\n# end", scenario);
  ASSERT_EQ(error.line, 0u) << error.message;
  ASSERT_EQ(scenario.entries.size(), 2u);
  EXPECT_EQ(scenario.entries[0].line, 4u);
  EXPECT_EQ(scenario.entries[1].line, 5u);
  EXPECT_EQ(hex(scenario.entries[1].bytes), "00020042380000" "01" "01");
}

struct ErrorCase {
  const char* text;
  size_t line;
  const char* message;  // part of the expected message
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << printable(c.text); }


class ScenarioErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ScenarioErrors, NamesTheLineAndTheFault) {
  const ErrorCase& c = GetParam();
  Scenario scenario;
  const ScenarioError error = parseScenario(c.text, scenario);
  EXPECT_EQ(error.line, c.line) << error.message;
  EXPECT_NE(error.message.find(c.message), std::string::npos) << error.message;
}

const ErrorCase kErrors[] = {
    {"A", 1, "no reply"},
    {"A echo", 1, "no reply"},
    {"# fine\nA silent\n\nAB silent", 4, "request code"},
    {"0x4G silent", 1, "request code"},
    {"0x123 silent", 1, "request code"},
    {"A bogus", 1, "unknown field"},
    {"A reply=123", 1, "odd"},
    {"A reply=zz", 1, "hexadecimal"},
    {"A reply", 1, "needs a value"},
    {"A silent=1", 1, "takes no value"},
    {"A silent silent", 1, "twice"},
    {"A reply=00 type=1", 1, "either reply="},
    {"A silent echo", 1, "silent"},
    {"A silent reply=00", 1, "silent"},
    {"A echo-only reply=00", 1, "echo-only"},
    {"A echo echo-only", 1, "echo-only"},
    {"A raw=x bad-lrc", 1, "raw="},
    {"A raw=x type=1", 1, "raw="},
    {"A type=300", 1, "type="},
    {"A value=01", 1, "type=N"},
    {"A type=1 text=x", 1, "type 11"},
    {"A type=11 text=x value=00", 1, "either value="},
    {"A type=1 header=0001", 1, "5 bytes"},
    {"A silent pause=3", 1, "N:MS"},
    {"A silent pause=3:x", 1, "N:MS"},
    {"A silent delay=999999999", 1, "delay="},
    {"A reply=00 length=-1", 1, "length="},
    {"A reply=00 hangup=", 1, "hangup="},
    {"A type=1 text1=\\q", 1, "unknown escape"},
    {"A raw=\xE6\x97\xA5", 1, "Windows-1251"},
};
INSTANTIATE_TEST_SUITE_P(All, ScenarioErrors, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return readableCaseName(info.index, info.param.text); });

TEST(Scenario, LinesForOneCodeAreUsedInTurn) {
  Scenario scenario;
  ASSERT_EQ(parseScenario("A type=1 value=01\nB silent\nA type=1 value=02 echo\n", scenario).line, 0u);
  std::array<size_t, 256> turns{};
  const size_t expectedA[] = {1, 3, 1, 3, 1};
  for (const size_t line : expectedA) {
    const ScenarioEntry* a = nextEntry(scenario, turns, 'A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->line, line);
    const ScenarioEntry* b = nextEntry(scenario, turns, 'B');
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->line, 2u);
  }
  EXPECT_EQ(nextEntry(scenario, turns, 'C'), nullptr);
}

TEST(Scenario, DescriptionListsTheMisbehavioursAndTheLine) {
  EXPECT_EQ(describeEntry(parseOne("\nA type=1 value=01")), "normal line=2");
  EXPECT_EQ(describeEntry(parseOne("A silent")), "silent line=1");
  EXPECT_EQ(describeEntry(parseOne("A type=1 value=01 hangup=5 pause=3:40 bad-lrc echo")),
            "echo bad-lrc pause=3:40 hangup=5 line=1");
}

// Every example in the README is a valid scenario line.
TEST(Scenario, ReadmeExamplesParse) {
  std::ifstream readme(ZORT_SIM_README);
  ASSERT_TRUE(readme.is_open());
  std::string examples;
  bool inExamples = false;
  for (std::string line; std::getline(readme, line);) {
    if (line.rfind("### ", 0) == 0 || line.rfind("## ", 0) == 0) inExamples = line == "### Examples";
    if (inExamples && line.rfind("    ", 0) == 0) examples += line.substr(4) + "\n";
  }
  Scenario scenario;
  const ScenarioError error = parseScenario(examples, scenario);
  EXPECT_EQ(error.line, 0u) << error.message;
  EXPECT_GE(scenario.entries.size(), 18u);
}

}  // namespace
