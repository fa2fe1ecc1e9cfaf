// The operator's display of a station: one line per slot. On a terminal the
// lines are rewritten in place, the verdicts in coloured blocks; otherwise
// (a pipe, NO_COLOR, --no-color) each change is one plain line, with no
// escape codes and no carriage returns. Rendering only: the bytes go out
// through the caller's writer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/zort-read/verdict.h"

enum class SlotShown {
  kWaiting,  // no instrument; detail: why the port is not open, if it is not
  kReading,  // detail: the read's progress
  kVerdict,  // detail: the serial number, the differences or the failure
};

// What a slot's line shows; every text UTF-8.
struct SlotView {
  std::string port;
  SlotShown shown = SlotShown::kWaiting;
  Verdict verdict = Verdict::kPass;
  std::string detail;
};

bool operator==(const SlotView& a, const SlotView& b);

// In place and in colour only on a terminal, and only when neither NO_COLOR
// (set, and not empty) nor --no-color asks for plain lines.
bool displayInPlace(bool stderrIsTerminal, const char* noColorVariable, bool noColorOption);

// One slot's line without a line end, the port padded to portWidth
// characters: "COM3   ГОДЕН  ZT-004217". coloured: the verdict as a block of
// colour (green, red, yellow), waiting dimmed.
std::string slotLine(const SlotView& view, size_t portWidth, bool coloured);

// The widest port name, in characters.
size_t portColumnWidth(const std::vector<SlotView>& views);

// The bytes that draw every slot's line on a terminal: the first time below
// the cursor, after that over the lines drawn before (drawnLines of them).
std::string redrawLines(const std::vector<SlotView>& views, size_t drawnLines);

// Wipes the lines drawn before (so that a message can take their place and
// they are drawn again under it).
std::string wipeLines(size_t drawnLines);

// One slot's change as a plain line with its line end: "COM3: ГОДЕН ZT-004217\n".
std::string plainLine(const SlotView& view);

// The bell, for a fail or an error.
constexpr const char* kBell = "\a";
