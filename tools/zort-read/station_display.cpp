#include "tools/zort-read/station_display.h"

#include <algorithm>

#include "text/cp1251.h"

namespace {

// ECMA-48 control sequences.
constexpr const char* kReset = "\x1b[0m";
constexpr const char* kDim = "\x1b[2m";
constexpr const char* kClearLine = "\r\x1b[2K";
constexpr const char* kClearBelow = "\x1b[J";

// The state words in the same column, as wide as the widest ("НЕ ГОДЕН"),
// so that the details line up.
constexpr size_t kStateWidth = 8;

// Bold on a coloured ground: black on green, white on red, black on yellow.
const char* verdictColour(Verdict verdict) {
  switch (verdict) {
    case Verdict::kPass: return "\x1b[1;30;42m";
    case Verdict::kFail: return "\x1b[1;97;41m";
    case Verdict::kError: break;
  }
  return "\x1b[1;30;43m";
}

std::string cursorUp(size_t lines) { return "\x1b[" + std::to_string(lines) + "A"; }

std::string stateText(const SlotView& view) {
  switch (view.shown) {
    case SlotShown::kWaiting: return programTextToUtf8("ожидание");
    case SlotShown::kReading: return programTextToUtf8("чтение");
    case SlotShown::kVerdict: break;
  }
  return programTextToUtf8(verdictTitle(view.verdict));
}

std::string padded(const std::string& text, size_t width) {
  std::string out = text;
  for (size_t shown = utf8Length(text); shown < width; ++shown) out.push_back(' ');
  return out;
}

}  // namespace

bool operator==(const SlotView& a, const SlotView& b) {
  return a.port == b.port && a.shown == b.shown && a.verdict == b.verdict && a.detail == b.detail;
}

bool displayInPlace(bool stderrIsTerminal, const char* noColorVariable, bool noColorOption) {
  const bool noColor = noColorOption || (noColorVariable != nullptr && noColorVariable[0] != '\0');
  return stderrIsTerminal && !noColor;
}

size_t portColumnWidth(const std::vector<SlotView>& views) {
  size_t width = 0;
  for (const auto& view : views) width = std::max(width, utf8Length(view.port));
  return width;
}

std::string slotLine(const SlotView& view, size_t portWidth, bool coloured) {
  std::string line = padded(view.port, portWidth) + "  ";
  const std::string state = stateText(view);
  if (!coloured) {
    line += state;
  } else if (view.shown == SlotShown::kVerdict) {
    line += std::string(verdictColour(view.verdict)) + " " + padded(state, kStateWidth) + " " +
            kReset;
  } else {
    line += std::string(kDim) + " " + padded(state, kStateWidth) + " " + kReset;
  }
  if (!view.detail.empty()) line += "  " + view.detail;
  return line;
}

std::string redrawLines(const std::vector<SlotView>& views, size_t drawnLines) {
  std::string bytes = drawnLines > 0 ? cursorUp(drawnLines) : "";
  const size_t width = portColumnWidth(views);
  for (const auto& view : views) bytes += kClearLine + slotLine(view, width, true) + "\n";
  return bytes;
}

std::string wipeLines(size_t drawnLines) {
  if (drawnLines == 0) return "";
  return cursorUp(drawnLines) + "\r" + kClearBelow;
}

std::string plainLine(const SlotView& view) {
  return view.port + ": " + slotLine(view, 0, false).substr(view.port.size() + 2) + "\n";
}
