// Picks request frames out of the characters arriving on the line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/frame.h"

struct RequestReader {
  std::array<char, kRequestFrameLength> characters{};
  size_t count = 0;               // characters gathered since the last ':'
  int64_t firstArrivalNs = 0;     // when that ':' arrived
};

struct ArrivedRequest {
  bool complete = false;      // a valid request frame has just been completed
  uint8_t code = 0;
  int64_t firstArrivalNs = 0;  // arrival of its ':'
};

// True if the 17 characters are exactly the request frame for some code
// (uppercase digits, bytes 00 02 00 code 38 00, correct LRC, CR LF).
bool parseRequestFrame(const std::array<char, kRequestFrameLength>& characters, uint8_t& code);

// Feeds one character that arrived at nowNs. Every ':' starts a new frame;
// anything that does not complete a valid frame is dropped.
ArrivedRequest feedRequestCharacter(RequestReader& reader, char c, int64_t nowNs);
