#include "protocol/reply_parser.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "protocol/trace.h"

namespace {

constexpr size_t kMinimumReplyLength = 10;
constexpr size_t kFlagsOffset = 5;
constexpr size_t kFirstTextOffset = 6;
constexpr uint8_t kSecondTextFlag = 0x01;

// Code map of the enumerated types 12 and 13; codes 9 and above map to nothing.
constexpr std::array<uint8_t, 9> kEnumeratedDigits = {1, 2, 0, 8, 5, 6, 7, 4, 3};

// The part of the reply that carries fields: everything before the LRC byte.
struct Fields {
  const uint8_t* bytes;
  size_t size;
};

// Index just past the NUL of the text at offset, or size when the text runs
// into the LRC byte.
size_t skipText(const Fields& fields, size_t offset) {
  const void* nul = offset < fields.size
                        ? std::memchr(fields.bytes + offset, 0, fields.size - offset)
                        : nullptr;
  if (nul == nullptr) return fields.size;
  return static_cast<size_t>(static_cast<const uint8_t*>(nul) - fields.bytes) + 1;
}

uint32_t bigEndian(const uint8_t* bytes, size_t count) {
  uint32_t value = 0;
  for (size_t i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

// The value bytes a type needs; 0 for the types that read none (type 11's
// text is bounded separately).
size_t valueBytesOfType(uint8_t type) {
  switch (type) {
    case 1:
    case 2:
      return 1;
    case 3:
    case 4:
      return 2;
    case 5:
    case 6:
    case 7:
      return 4;
    case 12:
    case 13:
      return 3;
    case 14:
      return 6;
    default:
      return 0;
  }
}

// "%f" differs between C runtimes for the values that are not numbers.
void formatSingle(char* text, size_t capacity, const uint8_t* b) {
  const uint32_t bits = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                        static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
  float value = 0;
  static_assert(sizeof value == sizeof bits);
  std::memcpy(&value, &bits, sizeof value);
  if (std::isnan(value))
    std::snprintf(text, capacity, "nan");
  else if (std::isinf(value))
    std::snprintf(text, capacity, value < 0 ? "-inf" : "inf");
  else
    std::snprintf(text, capacity, "%f", static_cast<double>(value));
}

// Type 1 at the software version's position: versions above 20 imply the
// checksum of their firmware, shown until position 2's own reply replaces it.
void presetChecksum(uint8_t version, ResultStore& results) {
  uint32_t checksum = 0xA819;
  if (version == 22) checksum = 0x72C0;
  if (version == 23) checksum = 0x37B5;
  writeTrace(kTraceOut, ZORT_TRACE_CHECKSUM, static_cast<unsigned>(version),
             static_cast<unsigned>(checksum));
  if (version > 20) {
    std::array<char, kValueTextCapacity> text{};
    std::snprintf(text.data(), text.size(), "%4X", static_cast<unsigned>(checksum));
    setValueText(results[kChecksumPosition], text.data());
  }
}

}  // namespace

StatusCode formatParameter(const ReplySlot& slot, size_t position, ResultStore& results) {
  if (slot.length < kMinimumReplyLength || slot.data == nullptr || position >= results.size())
    return kStatusBadFormat;
  const Fields fields = {slot.data, static_cast<size_t>(slot.length) - 1};

  size_t offset = skipText(fields, kFirstTextOffset);
  if ((fields.bytes[kFlagsOffset] & kSecondTextFlag) != 0) offset = skipText(fields, offset);
  if (offset >= fields.size) return kStatusBadFormat;
  const uint8_t type = fields.bytes[offset];
  const uint8_t* value = fields.bytes + offset + 1;
  const size_t available = fields.size - offset - 1;
  if (valueBytesOfType(type) > available) return kStatusBadFormat;

  std::array<char, kValueTextCapacity> text{};
  const auto capacity = text.size();
  switch (type) {
    case 1:
      std::snprintf(text.data(), capacity, "%d", static_cast<int>(value[0]));
      break;
    case 2:
      std::snprintf(text.data(), capacity, "%d", static_cast<int>(static_cast<int8_t>(value[0])));
      break;
    case 3:
      std::snprintf(text.data(), capacity, position == kChecksumPosition ? "%4X" : "%d",
                    static_cast<unsigned>(bigEndian(value, 2)));
      break;
    case 4:
      std::snprintf(text.data(), capacity, "%d", static_cast<int>(bigEndian(value, 2)));
      break;
    case 5:
      std::snprintf(text.data(), capacity, "%u", static_cast<unsigned>(bigEndian(value, 4)));
      break;
    case 6:
      std::snprintf(text.data(), capacity, "%d", static_cast<int32_t>(bigEndian(value, 4)));
      break;
    case 7:
      formatSingle(text.data(), capacity, value);
      break;
    case 11: {
      // The text must end with its NUL before the LRC byte.
      const void* nul = std::memchr(value, 0, available);
      if (nul == nullptr) return kStatusBadFormat;
      const auto length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - value);
      setValueText(results[position],
                   std::string_view(reinterpret_cast<const char*>(value), length));
      return kStatusOk;
    }
    case 12:
    case 13:
      // A code outside the map leaves no value known.
      if (value[2] < kEnumeratedDigits.size())
        std::snprintf(text.data(), capacity, "%1d", kEnumeratedDigits[value[2]]);
      break;
    case 14:
      std::snprintf(text.data(), capacity, "%u", static_cast<unsigned>(bigEndian(value + 2, 4)));
      break;
    default:
      // Types 8, 9, 10 and those outside the table leave the text as it was.
      return kStatusOk;
  }
  setValueText(results[position], text.data());
  if (type == 1 && position == kSoftwareVersionPosition) presetChecksum(value[0], results);
  return kStatusOk;
}
