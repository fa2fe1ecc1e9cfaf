#include "reading/read_cycle.h"

#include <array>
#include <cstdio>

#include "protocol/parameters.h"
#include "protocol/reply_parser.h"

namespace {

// Room for the longest progress text, "исполнено на 83%", and its NUL.
constexpr size_t kProgressTextSize = 32;

// The position just read, as a share of the table: 0, 16, 33, 50, 66, 83.
void showProgress(const StatusLine& statusLine, const char* format, size_t position) {
  if (statusLine.setText == nullptr) return;
  std::array<char, kProgressTextSize> text{};
  const int percent = static_cast<int>(position * 100 / kParameterCount);
  std::snprintf(text.data(), text.size(), format, percent);
  statusLine.setText(statusLine.context, text.data());
}

bool worthRetrying(StatusCode status) {
  return status == kStatusNoAnswer || status == kStatusBadFormat;
}

// One position's request, tried again while it ends with 7 or 8 and tries
// are left. A failed try leaves the store's cursor where it was.
ReplySlot requestWithRetries(LinkContext& link, uint8_t code, uint32_t retries) {
  ReplySlot slot = requestParameter(link, code);
  for (uint32_t attempt = 1; attempt <= retries && slot.length == 0 && worthRetrying(slot.status);
       ++attempt) {
    const ExchangeObserver* observer = link.observer;
    if (observer != nullptr && observer->onRetry != nullptr)
      observer->onRetry(observer->context, attempt + 1, slot.status);
    slot = requestParameter(link, code);
  }
  return slot;
}

StatusCode readAllPositions(const StatusLine& statusLine, ControlFlags& flags,
                            ReadContext& context) {
  ReplyStore store;
  resetReplyStore(store);
  std::array<ReplySlot, kParameterCount> slots{};
  ResultStore& results = *context.results;
  for (size_t position = 0; position < kParameterCount; ++position)
    clearValueText(results[position]);

  LinkContext link = {context.port, context.receive, &store, context.observer, context.failure};
  for (size_t position = 0; position < kParameterCount; ++position) {
    slots[position] = requestWithRetries(link, kParameterTable[position].code, context.retries);
    if (slots[position].length == 0) return slots[position].status;
    const StatusCode formatted = formatParameter(slots[position], position, results);
    if (formatted != kStatusOk) return formatted;
    // Looked at only between parameters, never inside a transaction.
    if (testFlag(flags, kCancelRequested)) {
      showProgress(statusLine, "прервано на %2d%%", position);
      return kStatusInterrupted;
    }
    showProgress(statusLine, "исполнено на %2d%%", position);
  }
  return kStatusOk;
}

}  // namespace

StatusCode runReadCycle(const StatusLine& statusLine, ControlFlags& flags, ReadContext& context) {
  const StatusCode result = readAllPositions(statusLine, flags, context);
  clearFlag(flags, kBusy);
  return result;
}
