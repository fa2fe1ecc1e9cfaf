#include "tools/zort-sim/request_reader.h"

namespace {

constexpr size_t kCodeHighDigit = 7;

int upperHexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool parseRequestFrame(const std::array<char, kRequestFrameLength>& characters, uint8_t& code) {
  const int high = upperHexDigit(characters[kCodeHighDigit]);
  const int low = upperHexDigit(characters[kCodeHighDigit + 1]);
  if (high < 0 || low < 0) return false;
  const auto candidate = static_cast<uint8_t>(high * 16 + low);
  if (buildRequestFrame(candidate) != characters) return false;
  code = candidate;
  return true;
}

ArrivedRequest feedRequestCharacter(RequestReader& reader, char c, int64_t nowNs) {
  ArrivedRequest arrived;
  if (c == ':') {
    reader.count = 0;
    reader.firstArrivalNs = nowNs;
  } else if (reader.count == 0) {
    return arrived;  // between frames: wait for the next ':'
  }
  reader.characters[reader.count++] = c;
  if (reader.count < reader.characters.size()) return arrived;
  reader.count = 0;
  arrived.complete = parseRequestFrame(reader.characters, arrived.code);
  arrived.firstArrivalNs = reader.firstArrivalNs;
  return arrived;
}
