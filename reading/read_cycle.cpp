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

StatusCode readAllPositions(const StatusLine& statusLine, ControlFlags& flags,
                            ReadContext& context) {
  ReplyStore store;
  resetReplyStore(store);
  std::array<ReplySlot, kParameterCount> slots{};
  ResultStore& results = *context.results;
  for (size_t position = 0; position < kParameterCount; ++position)
    clearValueText(results[position]);

  LinkContext link = {context.port, context.receive, &store, context.observer};
  for (size_t position = 0; position < kParameterCount; ++position) {
    slots[position] = requestParameter(link, kParameterTable[position].code);
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
