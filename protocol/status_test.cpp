#include "protocol/status.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "tests/support/golden_texts.h"

namespace {

TEST(StatusMessage, EveryCodeHasATextOfItsOwnThatFitsItsSlot) {
  std::set<std::string> texts;
  for (uint32_t code = 0; code < kStatusCodeCount; ++code) {
    SCOPED_TRACE(code);
    ASSERT_NE(statusMessage(code), nullptr);
    EXPECT_GT(std::strlen(statusMessage(code)), 0u);
    EXPECT_LT(std::strlen(statusMessage(code)), 32u) << "fits a 32-byte slot";
    texts.insert(statusMessage(code));
  }
  EXPECT_EQ(texts.size(), kStatusCodeCount) << "the user tells the failures apart by their texts";
}

// The status line shows these texts; the tests hold their own copy of them.
TEST(StatusMessage, TheTextsAreTheOnesTheUserReads) {
  ASSERT_EQ(golden::kStatusTexts.size(), kStatusCodeCount);
  for (uint32_t code = 0; code < kStatusCodeCount; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(statusMessage(code), golden::programText(golden::statusText(code)));
  }
}

TEST(StatusMessage, TextsAreSingleByteWindows1251) {
  // "Н" is 0xCD in Windows-1251; UTF-8 would start with 0xD0.
  EXPECT_EQ(static_cast<unsigned char>(statusMessage(kStatusNoAnswer)[0]), 0xCDu);
  EXPECT_EQ(std::strlen(statusMessage(kStatusNoAnswer)), 11u);
}

TEST(StatusMessage, CodesOutsideTheTableGiveAnEmptyText) {
  for (uint32_t code : {11u, 12u, 255u, 0xFFFFFFFFu}) EXPECT_STREQ(statusMessage(code), "");
}

}  // namespace
