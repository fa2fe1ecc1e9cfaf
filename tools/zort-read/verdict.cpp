#include "tools/zort-read/verdict.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "text/cp1251.h"

Verdict verdictOf(StatusCode status, bool differs) {
  if (status != kStatusOk) return Verdict::kError;
  return differs ? Verdict::kFail : Verdict::kPass;
}

std::string_view verdictWord(Verdict verdict) {
  switch (verdict) {
    case Verdict::kPass: return "pass";
    case Verdict::kFail: return "fail";
    case Verdict::kError: break;
  }
  return "error";
}

const char* verdictTitle(Verdict verdict) {
  switch (verdict) {
    case Verdict::kPass: return "ГОДЕН";
    case Verdict::kFail: return "НЕ ГОДЕН";
    case Verdict::kError: break;
  }
  return "ОШИБКА";
}

void countInstrument(StationTally& tally, Verdict verdict, int exitStatus) {
  switch (verdict) {
    case Verdict::kPass: ++tally.passed; break;
    case Verdict::kFail: ++tally.failed; break;
    case Verdict::kError: ++tally.errors; break;
  }
  tally.exitStatus = std::max(tally.exitStatus, exitStatus);
}

std::string summaryLine(const StationTally& tally) {
  std::array<char, 96> text{};
  std::snprintf(text.data(), text.size(), "итого: %u годен, %u не годен, %u ошибка",
                static_cast<unsigned>(tally.passed), static_cast<unsigned>(tally.failed),
                static_cast<unsigned>(tally.errors));
  return programTextToUtf8(text.data());
}
