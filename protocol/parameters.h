// The six identification parameters: what is requested, in which order, and
// where each value is shown and written.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct ParameterEntry {
  uint8_t code;           // request code sent in the frame
  uint32_t valueControl;  // dialog edit field showing the value
};

constexpr size_t kParameterCount = 6;

// In request order.
constexpr std::array<ParameterEntry, kParameterCount> kParameterTable = {{
    {0x41, 517},  // "A" software version
    {0x42, 518},  // "B" build
    {0x62, 519},  // "b" checksum
    {0x40, 522},  // "@" serial number
    {0x49, 520},  // "I" nominal bore, mm
    {0x46, 521},  // "F" network address
}};

constexpr size_t kSoftwareVersionPosition = 0;
constexpr size_t kChecksumPosition = 2;
constexpr size_t kSerialNumberPosition = 3;

// The label of a value is the static control (and string-table entry) whose
// ID is the value control's ID plus this offset.
constexpr uint32_t kLabelOffset = 256;

// Value control IDs in report order, ended by 0.
constexpr std::array<uint32_t, kParameterCount + 1> kExportControlList = {517, 518, 519,
                                                                          521, 520, 522, 0};

// The Windows-1251 label text of a value control (517..522), as the dialog's
// string table holds it; "" for any other ID.
const char* parameterLabel(uint32_t valueControl);

// The table position of a value control, or kParameterCount if it has none.
size_t positionOfControl(uint32_t valueControl);
