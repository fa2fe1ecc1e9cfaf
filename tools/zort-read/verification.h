// --expect: the values read compared with the ones expected, as texts with
// their surrounding spaces ignored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/results.h"

// One expected value, in UTF-8 like the values it is compared with.
struct ExpectedText {
  size_t position;  // in the parameter table
  std::string text;
};

struct Mismatch {
  size_t position;
  std::string expected;  // UTF-8, spaces trimmed
  std::string read;      // UTF-8, spaces trimmed
};

// What --expect found for one port: compared only after a successful read.
struct Verification {
  bool compared = false;
  std::vector<Mismatch> mismatches;
};

// The differences, in the order the values were expected; empty when every
// expected value was read.
std::vector<Mismatch> compareValues(const std::vector<ExpectedText>& expected,
                                    const ResultStore& results);

// text without the spaces and tabs around it.
std::string_view trimmedSpaces(std::string_view text);

// "checksum: 72C0 expected, ABCD read"
std::string mismatchLine(const Mismatch& mismatch);
