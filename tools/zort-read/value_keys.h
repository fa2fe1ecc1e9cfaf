// The names scripts give the six values (--expect, the "key" of each JSON
// value): version, build, checksum, serial, bore, address.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "protocol/parameters.h"

// In request order, as the parameter table.
constexpr std::array<std::string_view, kParameterCount> kValueKeys = {
    "version", "build", "checksum", "serial", "bore", "address"};

// The table position of a key, or kParameterCount when there is none.
constexpr size_t positionOfKey(std::string_view key) {
  for (size_t position = 0; position < kParameterCount; ++position)
    if (kValueKeys[position] == key) return position;
  return kParameterCount;
}
