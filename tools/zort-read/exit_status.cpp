#include "tools/zort-read/exit_status.h"

#include <algorithm>

int exitStatus(const std::vector<PortVerdict>& verdicts) {
  if (verdicts.empty()) return static_cast<int>(kStatusNoPortFound);
  int worst = 0;
  for (const PortVerdict& verdict : verdicts) {
    worst = std::max(worst, static_cast<int>(verdict.status));
    if (verdict.differs) worst = std::max(worst, kMismatchExitCode);
    if (verdict.journalFailed) worst = std::max(worst, static_cast<int>(kStatusWriteFileFailed));
  }
  return worst;
}
