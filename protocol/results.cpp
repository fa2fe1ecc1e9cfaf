#include "protocol/results.h"

#include <algorithm>

void resetReplyStore(ReplyStore& store) {
  store.bytes.fill(0);
  store.cursor = 0;
}

void setValueText(ParameterResult& result, std::string_view text) {
  const size_t length = std::min(text.size(), kMaxValueTextLength);
  text.copy(result.text.data(), length);
  result.text[length] = '\0';
}

void clearValueText(ParameterResult& result) { result.text[0] = '\0'; }

std::string_view valueText(const ParameterResult& result) {
  const auto end = std::find(result.text.begin(), result.text.end(), '\0');
  return {result.text.data(), static_cast<size_t>(end - result.text.begin())};
}
