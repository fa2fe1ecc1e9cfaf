// One port of a verification station: the life of the instruments connected
// to it, one after another. Platform-free: the caller makes the exchanges
// and reads, and tells the slot what each came to.
#pragma once

#include <cstdint>

#include "protocol/status.h"

enum class SlotState : uint8_t {
  kWaiting,   // asking the first parameter until an instrument answers
  kReading,   // an instrument answered: read it once, whole
  kRemoving,  // read; asking on until it is gone
};

// An instrument is gone after this many unanswered exchanges in a row.
constexpr uint32_t kUnansweredToGone = 2;

struct StationSlot {
  SlotState state = SlotState::kWaiting;
  uint32_t unanswered = 0;  // in a row, while removing
};

// Whether an exchange's status means that something answered: a reply, even
// a malformed one (8), is an instrument on the line; no answer (7), a line
// that takes no request (6) or a port that does not open (2) is none.
bool exchangeAnswered(StatusCode status);

// After one exchange while waiting or removing (a port that does not open
// is told as its open's status: nothing answered). Waiting turns to reading on
// an answer; removing turns to waiting after kUnansweredToGone unanswered
// exchanges in a row. Returns the new state.
SlotState slotAfterExchange(StationSlot& slot, StatusCode status);

// After the read of the instrument, whatever its outcome: removing, so that
// an instrument that stays is not read again.
SlotState slotAfterRead(StationSlot& slot);
