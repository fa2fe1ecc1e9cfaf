// The records that carry one read cycle's replies and results.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/parameters.h"
#include "protocol/status.h"

// A value text: at most 63 characters and a NUL, Windows-1251; empty means
// that no value is known.
constexpr size_t kValueTextCapacity = 64;
constexpr size_t kMaxValueTextLength = kValueTextCapacity - 1;

struct ParameterResult {
  std::array<char, kValueTextCapacity> text;
};

// 64 records, as the dialog has always allocated them, of which positions
// 0..5 are used (kParameterCount); the rest is room no loop reaches. Texts
// stay between cycles until the next cycle clears them.
constexpr size_t kResultStoreSize = 64;
using ResultStore = std::array<ParameterResult, kResultStoreSize>;

// One request's outcome: the decoded bytes (LRC byte included) inside the
// cycle's ReplyStore, or length 0 and the failing status.
struct ReplySlot {
  uint16_t length;
  const uint8_t* data;
  StatusCode status;
};

// Decoded replies lie back to back, each followed by a NUL; 256 bytes per
// parameter hold the longest reply (254 bytes) and its NUL.
constexpr size_t kReplyShare = 256;
constexpr size_t kReplyStoreSize = kReplyShare * kParameterCount;

struct ReplyStore {
  std::array<uint8_t, kReplyStoreSize> bytes;
  size_t cursor;
};

void resetReplyStore(ReplyStore& store);

// Copies text, cut at 63 characters.
void setValueText(ParameterResult& result, std::string_view text);
void clearValueText(ParameterResult& result);
std::string_view valueText(const ParameterResult& result);
