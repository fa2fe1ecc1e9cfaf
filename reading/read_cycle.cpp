#include "reading/read_cycle.h"

#include <algorithm>
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

bool stopAsked(const ControlFlags& flags, const ReadContext& context) {
  return testFlag(flags, kCancelRequested) ||
         (context.stopRequested != nullptr && context.stopRequested());
}

// One position's request, tried again while it ends with 7 or 8 and tries
// are left, and no stop is asked (the reader's Ctrl-C: stopped is then set).
// A failed try leaves the store's cursor where it was. tries: how many were
// made.
ReplySlot requestWithRetries(LinkContext& link, uint8_t code, const ReadContext& context,
                             uint32_t& tries, bool& stopped) {
  ReplySlot slot = requestParameter(link, code);
  tries = 1;
  stopped = false;
  for (uint32_t attempt = 1;
       attempt <= context.retries && slot.length == 0 && worthRetrying(slot.status); ++attempt) {
    if (context.stopRequested != nullptr && context.stopRequested()) {
      stopped = true;
      break;
    }
    const ExchangeObserver* observer = link.observer;
    if (observer != nullptr && observer->onRetry != nullptr)
      observer->onRetry(observer->context, attempt + 1, slot.status);
    slot = requestParameter(link, code);
    tries = attempt + 1;
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
  context.mostTries = 0;
  for (size_t position = 0; position < kParameterCount; ++position) {
    uint32_t tries = 0;
    bool stopped = false;
    slots[position] =
        requestWithRetries(link, kParameterTable[position].code, context, tries, stopped);
    context.mostTries = std::max(context.mostTries, tries);
    // A stop cut the tries short: the read is unfinished, not failed.
    if (slots[position].length == 0) return stopped ? kStatusInterrupted : slots[position].status;
    const StatusCode formatted = formatParameter(slots[position], position, results);
    if (formatted != kStatusOk) return formatted;
    // Looked at only between parameters, never inside a transaction.
    if (stopAsked(flags, context)) {
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
