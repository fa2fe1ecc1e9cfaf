#include "reading/station_slot.h"

bool exchangeAnswered(StatusCode status) {
  return status == kStatusOk || status == kStatusBadFormat;
}

SlotState slotAfterExchange(StationSlot& slot, StatusCode status) {
  const bool answered = exchangeAnswered(status);
  switch (slot.state) {
    case SlotState::kWaiting:
      if (answered) slot.state = SlotState::kReading;
      break;
    case SlotState::kRemoving:
      slot.unanswered = answered ? 0 : slot.unanswered + 1;
      if (slot.unanswered >= kUnansweredToGone) {
        slot.state = SlotState::kWaiting;
        slot.unanswered = 0;
      }
      break;
    case SlotState::kReading:
      // A read is told with slotAfterRead; an exchange does not change it.
      break;
  }
  return slot.state;
}

SlotState slotAfterRead(StationSlot& slot) {
  slot.state = SlotState::kRemoving;
  slot.unanswered = 0;
  return slot.state;
}
