// What the simulated instrument sends for one request: the characters, where
// it pauses, whether it hangs the line up, and when each character goes out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/zort-sim/scenario.h"

struct ReplyPlan {
  std::string characters;  // everything sent for the request, echo included
  bool hasPause = false;
  size_t pauseAfter = 0;   // the pause follows this many characters
  uint32_t pauseMs = 0;
  bool hangUp = false;
  size_t hangUpAfter = 0;  // the line is hung up after this many characters
  uint32_t delayMs = 0;    // extra turnaround before the first character
};

// ":" + the bytes and their LRC as hex digit pairs + CR LF; bad-lrc adds 1 to
// the LRC, lowercase uses lowercase digits.
std::string renderFrame(const std::string& bytes, bool badLrc, bool lowercase);

// Exactly count characters of frame: its first count characters, or, when
// count is larger, the frame without its CR LF, '0' fillers and CR LF last.
std::string fitToLength(const std::string& frame, size_t count);

// The plan for a request with code answered by entry.
ReplyPlan renderReply(const ScenarioEntry& entry, uint8_t code);

// When each character of plan is written, in nanoseconds after the reply
// starts: a character goes out once it would have crossed the line, so
// character i at (i + 1) x charNs, plus the pause for those after it.
std::vector<int64_t> characterOffsets(const ReplyPlan& plan, int64_t charNs);

// When the line is hung up, in nanoseconds after the reply starts: right
// after the last character it lets through (at 0 if it lets none through).
int64_t hangUpOffset(const ReplyPlan& plan, const std::vector<int64_t>& offsets);
