#include "reading/station_slot.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A line's exchanges, one character each: 'a' answered, 'm' a malformed
// answer, '.' no answer, 'x' the request could not be sent, 'o' the port
// did not open. Whenever the
// slot turns to reading, the instrument is read (at once, as the station
// does) and the read is marked 'R' in the trail.
struct SlotRun {
  std::string trail;
  SlotState last;
};

StatusCode statusOf(char exchange) {
  switch (exchange) {
    case 'a': return kStatusOk;
    case 'm': return kStatusBadFormat;
    case 'x': return kStatusSendFailed;
    case 'o': return kStatusOpenFailed;
    default: return kStatusNoAnswer;
  }
}

SlotRun runSlot(const std::string& exchanges) {
  StationSlot slot;
  SlotRun run{"", slot.state};
  for (const char exchange : exchanges) {
    run.trail.push_back(exchange);
    if (slotAfterExchange(slot, statusOf(exchange)) == SlotState::kReading) {
      run.trail.push_back('R');
      slotAfterRead(slot);
    }
  }
  run.last = slot.state;
  return run;
}

struct SlotCase {
  const char* name;
  const char* exchanges;
  const char* trail;
  SlotState last;
};

class StationSlotTest : public testing::TestWithParam<SlotCase> {};

TEST_P(StationSlotTest, ReadsEachArrivalOnce) {
  const SlotRun run = runSlot(GetParam().exchanges);
  EXPECT_EQ(run.trail, GetParam().trail);
  EXPECT_EQ(run.last, GetParam().last);
}

const SlotCase kSlotCases[] = {
    {"NothingWhileNoneAnswers", "....xx..", "....xx..", SlotState::kWaiting},
    {"OneReadWhenItAppears", "..a", "..aR", SlotState::kRemoving},
    {"NoSecondReadWhileItStays", "aaaaaa", "aRaaaaa", SlotState::kRemoving},
    // One lost answer is not a removal: the instrument is still there.
    {"OneUnansweredIsNotGone", "a.a.a.a", "aR.a.a.a", SlotState::kRemoving},
    {"TwoUnansweredInARowIsGone", "a..", "aR..", SlotState::kWaiting},
    {"ReadAgainAfterGoneAndBack", "aa..a.a..a", "aRa..aR.a..aR", SlotState::kRemoving},
    // A line that takes no request has nothing on it.
    {"SendFailuresCountAsUnanswered", "ax.x", "aRx.x", SlotState::kWaiting},
    // An adapter unplugged and plugged in again: its instrument is new.
    {"PortThatDoesNotOpenIsEmpty", "aaxoooa", "aRaxoooaR", SlotState::kRemoving},
    // A malformed answer is an instrument that answers: read (and fail) once.
    {"MalformedAnswerIsAnInstrument", "mmm..m", "mRmm..mR", SlotState::kRemoving},
};

INSTANTIATE_TEST_SUITE_P(Lines, StationSlotTest, testing::ValuesIn(kSlotCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StationSlot, ExchangesDoNotEndARead) {
  StationSlot slot;
  slotAfterExchange(slot, kStatusOk);
  ASSERT_EQ(slot.state, SlotState::kReading);
  for (const StatusCode status : {kStatusNoAnswer, kStatusNoAnswer, kStatusOk})
    EXPECT_EQ(slotAfterExchange(slot, status), SlotState::kReading);
  EXPECT_EQ(slotAfterRead(slot), SlotState::kRemoving);
}

}  // namespace
