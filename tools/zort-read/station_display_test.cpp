#include "tools/zort-read/station_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/golden_texts.h"

namespace {

using golden::utf8;

TEST(StationDisplay, InPlaceOnlyOnATerminalWithColourAllowed) {
  EXPECT_TRUE(displayInPlace(true, nullptr, false));
  EXPECT_TRUE(displayInPlace(true, "", false)) << "NO_COLOR counts only when it has a value";
  EXPECT_FALSE(displayInPlace(true, "1", false));
  EXPECT_FALSE(displayInPlace(true, nullptr, true));
  EXPECT_FALSE(displayInPlace(false, nullptr, false));
}

const std::vector<SlotView> kSlots = {
    {"/dev/ttyUSB0", SlotShown::kWaiting, Verdict::kPass, ""},
    {"COM3", SlotShown::kReading, Verdict::kPass, utf8(u8"исполнено на 33%")},
    {"COM4", SlotShown::kVerdict, Verdict::kPass, "ZT-004217"},
    {"COM5", SlotShown::kVerdict, Verdict::kFail, "checksum: ABCD expected, 72C0 read"},
    {"COM6", SlotShown::kVerdict, Verdict::kError, utf8(u8"Нет ответа.")},
};

TEST(StationDisplay, PlainLinesHaveNoEscapesAndNoCarriageReturns) {
  std::string all;
  for (const auto& view : kSlots) all += plainLine(view);
  EXPECT_EQ(all, utf8(u8"/dev/ttyUSB0: ожидание\n"
                      u8"COM3: чтение  исполнено на 33%\n"
                      u8"COM4: ГОДЕН  ZT-004217\n"
                      u8"COM5: НЕ ГОДЕН  checksum: ABCD expected, 72C0 read\n"
                      u8"COM6: ОШИБКА  Нет ответа.\n"));
}

TEST(StationDisplay, VerdictsAreColouredBlocksInAColumn) {
  const size_t width = portColumnWidth(kSlots);
  EXPECT_EQ(width, 12u);
  EXPECT_EQ(slotLine(kSlots[2], width, true),
            utf8(u8"COM4          \x1b[1;30;42m ГОДЕН    \x1b[0m  ZT-004217"));
  EXPECT_EQ(slotLine(kSlots[3], width, true),
            utf8(u8"COM5          \x1b[1;97;41m НЕ ГОДЕН \x1b[0m  checksum: ABCD expected, 72C0 read"));
  EXPECT_EQ(slotLine(kSlots[4], width, true),
            utf8(u8"COM6          \x1b[1;30;43m ОШИБКА   \x1b[0m  Нет ответа."));
  EXPECT_EQ(slotLine(kSlots[0], width, true), utf8(u8"/dev/ttyUSB0  \x1b[2m ожидание \x1b[0m"));
}

// The first drawing goes below the cursor; every later one goes back up
// over the lines drawn and rewrites each of them whole.
TEST(StationDisplay, RedrawsTheLinesInPlace) {
  const std::vector<SlotView> two(kSlots.begin(), kSlots.begin() + 2);
  const std::string first = redrawLines(two, 0);
  EXPECT_EQ(first.find("\x1b[2A"), std::string::npos);
  EXPECT_EQ(first, "\r\x1b[2K" + slotLine(two[0], 12, true) + "\n\r\x1b[2K" +
                       slotLine(two[1], 12, true) + "\n");
  EXPECT_EQ(redrawLines(two, 2), "\x1b[2A" + first);
  EXPECT_EQ(wipeLines(2), "\x1b[2A\r\x1b[J");
  EXPECT_EQ(wipeLines(0), "");
}

}  // namespace
