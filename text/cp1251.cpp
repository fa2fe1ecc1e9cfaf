#include "text/cp1251.h"

#include <array>
#include <cstdint>

namespace {

constexpr char16_t kUndefined = 0xFFFD;

// 0x80..0xBF; from 0xC0 on the alphabet runs in order from U+0410.
constexpr std::array<char16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    kUndefined, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

constexpr uint8_t kAlphabetStart = 0xC0;
constexpr char16_t kAlphabetBase = 0x0410;

char16_t characterOf(uint8_t byte) {
  if (byte < 0x80) return byte;
  if (byte >= kAlphabetStart) return static_cast<char16_t>(kAlphabetBase + (byte - kAlphabetStart));
  return kUpperHalf[byte - 0x80];
}

void appendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string cp1251ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char c : text) appendUtf8(out, characterOf(static_cast<uint8_t>(c)));
  return out;
}

std::string programTextToUtf8(std::string_view text) {
  return kProgramTextsAreCp1251 ? cp1251ToUtf8(text) : std::string(text);
}

size_t utf8Length(std::string_view text) {
  size_t count = 0;
  for (const char c : text)
    if ((static_cast<uint8_t>(c) & 0xC0) != 0x80) ++count;
  return count;
}
