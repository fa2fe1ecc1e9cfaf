#include "tools/zort-read/verification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/zort-read/reader_options.h"
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
