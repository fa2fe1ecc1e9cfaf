#include "protocol/frame.h"

#include <string_view>

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
// The request template carries code 0x43 and its LRC 0x83.
constexpr std::string_view kRequestTemplate = ":00020043380083\r\n";
static_assert(kRequestTemplate.size() == kRequestFrameLength);

constexpr size_t kCodeHighDigit = 7;
constexpr size_t kLrcHighDigit = 13;

// "0".."9" give 0..9; every other character is taken as a letter digit
// (c - 0x37), so "A".."F" give 10..15 and anything else a value that the
// LRC test rejects unless the wrong values happen to sum to 0.
uint8_t digitValue(char c) {
  const auto byte = static_cast<uint8_t>(c);
  const auto decimal = static_cast<uint8_t>(byte - 0x30);
  return decimal < 10 ? decimal : static_cast<uint8_t>(byte - 0x37);
}

}  // namespace

uint8_t computeLrc(const uint8_t* bytes, size_t count) {
  uint8_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
  return static_cast<uint8_t>(-sum);
}

RequestFrame buildRequestFrame(uint8_t code) {
  RequestFrame frame{};
  kRequestTemplate.copy(frame.data(), frame.size());
  const std::array<uint8_t, 6> bytes = {0x00, 0x02, 0x00, code, 0x38, 0x00};
  const uint8_t lrc = computeLrc(bytes.data(), bytes.size());
  frame[kCodeHighDigit] = kHexDigits[code >> 4];
  frame[kCodeHighDigit + 1] = kHexDigits[code & 0x0F];
  frame[kLrcHighDigit] = kHexDigits[lrc >> 4];
  frame[kLrcHighDigit + 1] = kHexDigits[lrc & 0x0F];
  return frame;
}

DecodedReply decodeReplyFrame(const char* characters, size_t count, uint8_t* destination,
                              size_t capacity) {
  const DecodedReply bad = {kStatusBadFormat, 0};
  if (characters == nullptr || count <= 11) return bad;
  if (characters[0] != ':' || characters[count - 2] != '\r' || characters[count - 1] != '\n')
    return bad;
  // A stray odd character before CR LF is ignored.
  const size_t length = (count - 3) / 2;
  if (destination == nullptr || length + 1 > capacity) return bad;
  uint8_t sum = 0;
  for (size_t j = 0; j < length; ++j) {
    const auto high = digitValue(characters[2 * j + 1]);
    const auto low = digitValue(characters[2 * j + 2]);
    destination[j] = static_cast<uint8_t>(high * 16 + low);
    sum = static_cast<uint8_t>(sum + destination[j]);
  }
  destination[length] = 0;
  if (sum != 0) return bad;
  return {kStatusOk, length};
}
