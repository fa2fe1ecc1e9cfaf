#include "tests/support/test_instrument.h"

namespace {

constexpr size_t kRequestCharacters = 17;

}  // namespace

const std::array<std::string, kParameterCount> kTestInstrumentLines = {
    "A type=1 value=16 text1=Version",        "B type=4 value=07E9 text1=Build",
    "b type=3 value=72C0 text1=Checksum",     "@ type=11 text=ZT-004217 text1=Serial",
    "I type=4 value=0032 text1=Bore text2=mm", "F type=1 value=01 text1=Address",
};

const std::array<std::string, kParameterCount> kTestInstrumentValues = {
    "22", "2025", "72C0", "ZT-004217", "50", "1"};

std::string instrumentScenario(size_t position, const std::string& fields) {
  std::string scenario;
  for (size_t i = 0; i < kParameterCount; ++i) {
    if (i == position)
      scenario += kTestInstrumentLines[i].substr(0, 1) + " " + fields + "\n";
    else
      scenario += kTestInstrumentLines[i] + "\n";
  }
  return scenario;
}

size_t instrumentCycleLineCharacters() {
  // Decoded reply bytes of each line: header 5, flags 1, the texts with
  // their NULs, type 1, the value, LRC 1.
  const std::array<size_t, kParameterCount> replyBytes = {17, 16, 19, 25, 18, 17};
  size_t characters = 0;
  for (const size_t bytes : replyBytes) characters += kRequestCharacters + 1 + 2 * bytes + 2;
  return characters;
}
