#include "tools/zort-read/verification.h"

#include <string_view>

#include "text/cp1251.h"
#include "protocol/parameters.h"

std::string_view trimmedSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::vector<Mismatch> compareValues(const std::vector<ExpectedText>& expected,
                                    const ResultStore& results) {
  std::vector<Mismatch> mismatches;
  for (const auto& value : expected) {
    if (value.position >= kParameterCount) continue;
    const std::string read = cp1251ToUtf8(trimmedSpaces(valueText(results[value.position])));
    const std::string wanted(trimmedSpaces(value.text));
    if (read != wanted) mismatches.push_back({value.position, wanted, read});
  }
  return mismatches;
}

std::string mismatchLine(const Mismatch& mismatch) {
  const std::string_view key =
      mismatch.position < kParameterCount ? kParameterTable[mismatch.position].key : "?";
  return std::string(key) + ": " + mismatch.expected + " expected, " + mismatch.read + " read";
}
