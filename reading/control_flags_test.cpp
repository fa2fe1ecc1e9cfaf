#include "reading/control_flags.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Two threads change different bits of the one word at the same moments, as
// the dialog and the worker do: no change may be lost.
TEST(ControlFlags, ChangesOfOtherBitsAreNeverLost) {
  ControlFlags flags{0};
  setFlag(flags, kWorkerStarted);
  constexpr int kRounds = 200000;
  auto toggle = [&flags](uint32_t bit) {
    for (int i = 0; i < kRounds; ++i) {
      setFlag(flags, bit);
      clearFlag(flags, bit);
    }
  };
  std::thread ui([&] { toggle(kReadRequested | kCancelRequested); });
  std::thread worker([&] { toggle(kBusy); });
  ui.join();
  worker.join();
  setFlag(flags, kQuitRequested);
  EXPECT_EQ(flags.load(), kWorkerStarted | kQuitRequested);
  EXPECT_TRUE(testFlag(flags, kQuitRequested));
  EXPECT_FALSE(testFlag(flags, kBusy | kReadRequested));
}

}  // namespace
