#include "tools/zort-read/verification.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tools/zort-read/reader_options.h"
#include "tests/support/files.h"
#include "tests/support/golden_texts.h"

namespace {

using golden::utf8;

ResultStore resultsToVerify() {
  ResultStore results{};
  const char* values[] = {"22", "2025", " 72C0", "\xC7\xD2-1", "50", "1"};
  for (size_t i = 0; i < kParameterCount; ++i) setValueText(results[i], values[i]);
  return results;
}

TEST(Verification, ComparesTextsWithoutTheSpacesAround) {
  const ResultStore results = resultsToVerify();
  EXPECT_TRUE(compareValues({{2, "72C0 "}, {3, utf8(u8"ЗТ-1")}, {0, "22"}}, results).empty());
  const auto mismatches = compareValues({{0, "22"}, {2, "72c0"}, {5, "2"}}, results);
  ASSERT_EQ(mismatches.size(), 2u);
  EXPECT_EQ(mismatchLine(mismatches[0]), "checksum: 72c0 expected, 72C0 read") << "case counts";
  EXPECT_EQ(mismatchLine(mismatches[1]), "address: 2 expected, 1 read");
}

TEST(Verification, ExpectListNamesTheTablePositions) {
  std::vector<ExpectedValue> expected;
  std::string error;
  ASSERT_TRUE(parseExpectList(" serial = A B ,address=1,bore=", expected, error)) << error;
  ASSERT_EQ(expected.size(), 3u);
  EXPECT_EQ(expected[0].position, 3u);
  EXPECT_EQ(expected[0].text, "A B");
  EXPECT_EQ(expected[1].position, 5u);
  EXPECT_EQ(expected[2].position, 4u);
  EXPECT_EQ(expected[2].text, "") << "an empty value is expected empty";
}

}  // namespace

namespace {

struct ExpectFileCase {
  const char* name;
  std::string text;
  bool parsed;
  std::vector<std::pair<size_t, std::string>> expected;  // or the error
  std::string error;
};

class ExpectFileTest : public testing::TestWithParam<ExpectFileCase> {};

TEST_P(ExpectFileTest, TakesKeyValueLinesAndComments) {
  const ExpectFileCase& c = GetParam();
  std::vector<ExpectedValue> expected;
  std::string error;
  EXPECT_EQ(parseExpectFile(c.text, expected, error), c.parsed) << error;
  if (!c.parsed) {
    EXPECT_EQ(error, c.error);
    return;
  }
  std::vector<std::pair<size_t, std::string>> got;
  for (const auto& value : expected) got.emplace_back(value.position, value.text);
  EXPECT_EQ(got, c.expected);
}

const ExpectFileCase kExpectFileCases[] = {
    {"Lines", "version=22\nchecksum = 72C0\n", true, {{0, "22"}, {2, "72C0"}}, ""},
    {"CommentsAndEmptyLines", "# approved 2026-11\n\n  # indented\nbuild=2025\n\n", true,
     {{1, "2025"}}, ""},
    {"WindowsLineEndsAndAMark", "\xEF\xBB\xBFserial=ZT-1\r\nbore=50\r\n", true,
     {{3, "ZT-1"}, {4, "50"}}, ""},
    {"NoLastLineEnd", "address=1", true, {{5, "1"}}, ""},
    {"ACommaIsPartOfTheValue", "serial=A,B\n", true, {{3, "A,B"}}, ""},
    {"BadLineIsNamed", "version=22\n# note\nchecksum\n", false, {},
     "line 3 takes KEY=VALUE, not \"checksum\""},
    {"UnknownKey", "colour=red\n", false, {},
     "line 1: unknown key \"colour\" (version, build, checksum, serial, bore, address)"},
    {"KeyTwice", "build=1\nbuild=2\n", false, {}, "line 2: build given twice"},
    {"OnlyComments", "# nothing yet\n", false, {}, "no KEY=VALUE line"},
};

INSTANTIATE_TEST_SUITE_P(Files, ExpectFileTest, testing::ValuesIn(kExpectFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderOptions, ExpectFromAFileIsReadAndNamedAsTheProfile) {
  const std::string path = writeTemporaryFile("# line 7\nversion=22\nserial=ZT-004217\n", "profile");
  ASSERT_FALSE(path.empty());
  const std::string argument = "--expect=@" + path;
  const char* argv[] = {"zort-read", argument.c_str(), "COM3"};
  ReaderOptions options;
  std::string error;
  ASSERT_TRUE(parseReaderOptions(3, argv, options, error)) << error;
  EXPECT_TRUE(options.expected.empty()) << "read after parsing";
  ASSERT_TRUE(loadExpectFile(options, error)) << error;
  ASSERT_EQ(options.expected.size(), 2u);
  EXPECT_EQ(options.expected[1].text, "ZT-004217");
  EXPECT_EQ(options.expectProfile, path);
  unlink(path.c_str());
  options.expected.clear();
  EXPECT_FALSE(loadExpectFile(options, error));
  EXPECT_EQ(error, "--expect: cannot read " + path);
}

}  // namespace
