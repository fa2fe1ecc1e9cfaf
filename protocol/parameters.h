// The six identification parameters: what is requested, in which order, the
// name scripts give each value and the label the dialog, the report and the
// reader's outputs show with it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/parameter_labels.h"

struct ParameterEntry {
  uint8_t code;          // request code sent in the frame
  std::string_view key;  // --expect and the JSON output: version, build, ...
  const char* label;     // Windows-1251, as the dialog's string table holds it
};

constexpr size_t kParameterCount = 6;

// In request order.
constexpr std::array<ParameterEntry, kParameterCount> kParameterTable = {{
    {0x41, "version", ZORT_VERSION_LABEL_TEXT},    // "A" software version
    {0x42, "build", ZORT_BUILD_LABEL_TEXT},        // "B" build
    {0x62, "checksum", ZORT_CHECKSUM_LABEL_TEXT},  // "b" checksum
    {0x40, "serial", ZORT_SERIAL_LABEL_TEXT},      // "@" serial number
    {0x49, "bore", ZORT_BORE_LABEL_TEXT},          // "I" nominal bore, mm
    {0x46, "address", ZORT_ADDRESS_LABEL_TEXT},    // "F" network address
}};

constexpr size_t kSoftwareVersionPosition = 0;
constexpr size_t kChecksumPosition = 2;
constexpr size_t kSerialNumberPosition = 3;

// Table positions in report order: the network address before the nominal
// bore, the serial number last. The report, the value lines and the journal
// follow it.
constexpr std::array<size_t, kParameterCount> kReportOrder = {0, 1, 2, 5, 4, 3};

// The table position of a key, or kParameterCount when there is none.
constexpr size_t positionOfKey(std::string_view key) {
  for (size_t position = 0; position < kParameterCount; ++position)
    if (kParameterTable[position].key == key) return position;
  return kParameterCount;
}
