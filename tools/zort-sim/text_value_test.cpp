#include "tools/zort-sim/text_value.h"

#include <iconv.h>

#include <gtest/gtest.h>

#include "tools/zort-sim/printable_for_tests.h"

#include <string>
#include "tests/support/param_names.h"

namespace {

std::string fromU8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Every Windows-1251 byte above 0x7F, turned into UTF-8 by the C library,
// comes back as that byte.
TEST(TextValue, EveryWindows1251ByteRoundTripsThroughUtf8) {
  iconv_t toUtf8 = iconv_open("UTF-8", "CP1251");
  ASSERT_NE(toUtf8, reinterpret_cast<iconv_t>(-1));
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    if (byte == 0x98) continue;  // the one byte without a character
    SCOPED_TRACE(byte);
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPointer = in;
    char* outPointer = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    ASSERT_NE(iconv(toUtf8, &inPointer, &inLeft, &outPointer, &outLeft), static_cast<size_t>(-1));
    std::string bytes;
    EXPECT_EQ(decodeTextValue(std::string(out, sizeof out - outLeft), bytes), "");
    EXPECT_EQ(bytes, std::string(1, static_cast<char>(byte)));
  }
  iconv_close(toUtf8);
}

TEST(TextValue, CyrillicTextBecomesWindows1251Bytes) {
  std::string bytes;
  ASSERT_EQ(decodeTextValue(fromU8(u8"Зав. N ёЁ №"), bytes), "");
  EXPECT_EQ(bytes, "\xC7\xE0\xE2. N \xB8\xA8 \xB9");
}

struct TextCase {
  const char* text;
  std::string bytes;  // expected, when problem is empty
  const char* problem;  // part of the expected reason, "" for success
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << printable(c.text); }


class TextValueCases : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextValueCases, DecodesOrSaysWhy) {
  const TextCase& c = GetParam();
  std::string bytes;
  const std::string problem = decodeTextValue(c.text, bytes);
  if (*c.problem == '\0') {
    EXPECT_EQ(problem, "");
    EXPECT_EQ(bytes, c.bytes);
  } else {
    EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
  }
}

const TextCase kTextCases[] = {
    {"plain", "plain", ""},
    {"", "", ""},
    {"a\\r\\nb", "a\r\nb", ""},
    {"\\x00\\xFF\\x7f", std::string("\0\xFF\x7F", 3), ""},
    {"\\s\\t\\\\", " \t\\", ""},
    {"end\\", "", "lone"},
    {"\\q", "", "unknown escape"},
    {"\\x4", "", "two hexadecimal"},
    {"\\xZZ", "", "two hexadecimal"},
    {"\xC3", "", "UTF-8"},
    {"\xC0\xAF", "", "UTF-8"},           // overlong "/"
    {"\xE6\x97\xA5", "", "Windows-1251"},  // a CJK character
};
INSTANTIATE_TEST_SUITE_P(All, TextValueCases, ::testing::ValuesIn(kTextCases),
                         [](const auto& info) { return readableCaseName(info.index, info.param.text); });

TEST(HexBytes, DecodesPairsOfEitherCaseAndRejectsTheRest) {
  std::string bytes;
  EXPECT_EQ(decodeHexBytes("000aFF7e", bytes), "");
  EXPECT_EQ(bytes, std::string("\x00\x0A\xFF\x7E", 4));
  EXPECT_EQ(decodeHexBytes("", bytes), "");
  EXPECT_TRUE(bytes.empty());
  EXPECT_NE(decodeHexBytes("123", bytes), "");
  EXPECT_NE(decodeHexBytes("0G", bytes), "");
  EXPECT_NE(decodeHexBytes("0x12", bytes), "");
}

}  // namespace
