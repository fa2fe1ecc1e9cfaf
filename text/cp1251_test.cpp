#include "text/cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "tests/support/golden_texts.h"

namespace {

using golden::utf8;

// glibc's own converter is the reference for every byte it defines; ""
// for a byte it does not.
std::string iconvFrom1251(iconv_t converter, char byte) {
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char in[1] = {byte};
  char out[8] = {};
  char* inCursor = in;
  char* outCursor = out;
  size_t inLeft = 1, outLeft = sizeof out;
  const size_t done = iconv(converter, &inCursor, &inLeft, &outCursor, &outLeft);
  if (done == static_cast<size_t>(-1)) return "";
  return std::string(out, sizeof out - outLeft);
}

TEST(Cp1251, EveryByteAsTheSystemConverterHasIt) {
  iconv_t converter = iconv_open("UTF-8", "CP1251");
  if (converter == reinterpret_cast<iconv_t>(-1))
    GTEST_SKIP() << "no CP1251 converter installed (glibc's gconv modules)";
  for (int byte = 1; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const char c = static_cast<char>(byte);
    const std::string expected = iconvFrom1251(converter, c);
    // 0x98 is the one byte 1251 leaves undefined.
    EXPECT_EQ(cp1251ToUtf8(std::string(1, c)), expected.empty() ? utf8(u8"\uFFFD") : expected);
  }
  iconv_close(converter);
}

TEST(Cp1251, TextsKeepTheirOrderAndTheirNuls) {
  EXPECT_EQ(cp1251ToUtf8("\xC7\xE0\xE2. N "), utf8(u8"Зав. N "));
  EXPECT_EQ(cp1251ToUtf8("\xA8\xB8\xB9"), utf8(u8"Ёё№"));
  EXPECT_EQ(cp1251ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(cp1251ToUtf8(""), "");
}

TEST(Cp1251, ProgramTextsComeOutInUtf8WhateverTheBuildStores) {
  EXPECT_EQ(programTextToUtf8("Версия ПО"), utf8(u8"Версия ПО"));
  EXPECT_EQ(programTextToUtf8("OK!"), "OK!");
}

TEST(Utf8Length, CountsCharactersNotBytes) {
  EXPECT_EQ(utf8Length(utf8(u8"ДУ (мм)")), 7u);
  EXPECT_EQ(utf8Length(utf8(u8"€1")), 2u);
  EXPECT_EQ(utf8Length(""), 0u);
}

}  // namespace
