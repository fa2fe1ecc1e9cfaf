// What an instrument's read comes to for the operator and for scripts: the
// verdict, the exit status, and a station's tally of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/status.h"

// A difference from --expect ends the program with this status.
constexpr int kMismatchExitCode = 11;

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

// One instrument's exit status: the larger of its status (a read's, or 9
// for a report or journal not kept) and 11 when a value differs.
int outcomeExitStatus(StatusCode status, bool differs);

// A station's instruments so far.
struct StationTally {
  uint32_t passed = 0;
  uint32_t failed = 0;
  uint32_t errors = 0;
  int exitStatus = 0;  // the largest outcomeExitStatus
};

void countInstrument(StationTally& tally, Verdict verdict, int exitStatus);

// "итого: 12 годен, 1 не годен, 2 ошибка" (UTF-8, no line end).
std::string summaryLine(const StationTally& tally);
