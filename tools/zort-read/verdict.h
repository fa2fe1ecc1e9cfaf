// What an instrument's read comes to for the operator and for scripts: the
// verdict, and a station's tally of verdicts and exit statuses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/status.h"

enum class Verdict : uint8_t {
  kPass,   // read, and matching --expect (or nothing expected)
  kFail,   // read, and a value differs
  kError,  // the read failed: could not check
};

// status: the read's own (the cycle's, or the open's).
Verdict verdictOf(StatusCode status, bool differs);

// "pass", "fail", "error": the words scripts see (JSON, the journal).
std::string_view verdictWord(Verdict verdict);

// "ГОДЕН", "НЕ ГОДЕН", "ОШИБКА": the words the operator sees (Windows-1251).
const char* verdictTitle(Verdict verdict);

// A station's instruments so far.
struct StationTally {
  uint32_t passed = 0;
  uint32_t failed = 0;
  uint32_t errors = 0;
  int exitStatus = 0;  // the largest of the instruments' (exit_status.h)
};

void countInstrument(StationTally& tally, Verdict verdict, int exitStatus);

// "итого: 12 годен, 1 не годен, 2 ошибка" (UTF-8, no line end).
std::string summaryLine(const StationTally& tally);
