// The ASCII frames spoken with the instrument: ":" + bytes as hex digit pairs
// + LRC + CR LF, the framing of the Modbus ASCII serial-line convention.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/status.h"

constexpr size_t kRequestFrameLength = 17;
using RequestFrame = std::array<char, kRequestFrameLength>;

// The longest reply the receive buffer holds.
constexpr size_t kMaxReplyCharacters = 512;

// Two's complement of the 8-bit sum of the bytes.
uint8_t computeLrc(const uint8_t* bytes, size_t count);

// The request for one parameter: bytes 00 02 00 code 38 00, then the LRC.
RequestFrame buildRequestFrame(uint8_t code);

struct DecodedReply {
  StatusCode status;  // 0, or 8 for a malformed reply
  size_t length;      // decoded bytes, the LRC byte included; 0 on failure
};

// Checks the reply's shape and LRC and decodes its bytes into destination,
// followed by a NUL that is not counted. A reply whose k bytes and NUL would
// not fit into capacity is rejected with 8 and nothing is written.
DecodedReply decodeReplyFrame(const char* characters, size_t count, uint8_t* destination,
                              size_t capacity);
