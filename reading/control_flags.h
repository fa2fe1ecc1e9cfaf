// The word of bits shared by the dialog and the read worker.
#pragma once

#include <atomic>
#include <cstdint>

enum ControlBit : uint32_t {
  kReadRequested = 0x1,
  kBusy = 0x2,
  kCancelRequested = 0x20,
  kWorkerStarted = 0x80,
  kQuitRequested = 0x80000000u,
};

// Each change touches single bits in one indivisible operation, so a change
// the other thread makes at the same moment is never lost.
using ControlFlags = std::atomic<uint32_t>;

inline void setFlag(ControlFlags& flags, uint32_t bits) { flags.fetch_or(bits); }
inline void clearFlag(ControlFlags& flags, uint32_t bits) { flags.fetch_and(~bits); }
inline bool testFlag(const ControlFlags& flags, uint32_t bits) {
  return (flags.load() & bits) != 0;
}
