#include "tools/zort-sim/text_value.h"

#include <array>

namespace {

// Code points of the Windows-1251 bytes 0x80..0xBF; 0 marks the one byte
// (0x98) that has none. 0xC0..0xFF are U+0410..U+044F in order.
constexpr std::array<uint16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads one UTF-8 sequence at text[at]; returns its length (0 if malformed).
size_t readUtf8(std::string_view text, size_t at, uint32_t& codePoint) {
  const auto lead = static_cast<uint8_t>(text[at]);
  size_t length = 0;
  uint32_t minimum = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, codePoint = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, codePoint = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, codePoint = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<uint8_t>(text[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
  return length;
}

}  // namespace

int windows1251Byte(uint32_t codePoint) {
  if (codePoint < 0x80) return static_cast<int>(codePoint);
  if (codePoint >= 0x0410 && codePoint <= 0x044F) return static_cast<int>(codePoint - 0x0410 + 0xC0);
  for (size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] != 0 && kUpperHalf[i] == codePoint) return static_cast<int>(0x80 + i);
  }
  return -1;
}

std::string decodeTextValue(std::string_view text, std::string& bytes) {
  bytes.clear();
  size_t at = 0;
  while (at < text.size()) {
    if (text[at] == '\\') {
      if (at + 1 >= text.size()) return "a lone \\ at the end of a text";
      const char kind = text[at + 1];
      if (kind == 'x') {
        const int high = at + 2 < text.size() ? hexDigit(text[at + 2]) : -1;
        const int low = at + 3 < text.size() ? hexDigit(text[at + 3]) : -1;
        if (high < 0 || low < 0) return "\\x needs two hexadecimal digits";
        bytes.push_back(static_cast<char>(high * 16 + low));
        at += 4;
        continue;
      }
      switch (kind) {
        case 'r': bytes.push_back('\r'); break;
        case 'n': bytes.push_back('\n'); break;
        case 't': bytes.push_back('\t'); break;
        case 's': bytes.push_back(' '); break;
        case '\\': bytes.push_back('\\'); break;
        default: return std::string("unknown escape \\") + kind;
      }
      at += 2;
      continue;
    }
    uint32_t codePoint = 0;
    const size_t length = readUtf8(text, at, codePoint);
    if (length == 0) return "the text is not valid UTF-8";
    const int byte = windows1251Byte(codePoint);
    if (byte < 0) return "a character of the text has no Windows-1251 byte";
    bytes.push_back(static_cast<char>(byte));
    at += length;
  }
  return "";
}

std::string decodeHexBytes(std::string_view hex, std::string& bytes) {
  bytes.clear();
  if (hex.size() % 2 != 0) return "an odd number of hexadecimal digits";
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = hexDigit(hex[i]);
    const int low = hexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return "not a hexadecimal digit pair";
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return "";
}
