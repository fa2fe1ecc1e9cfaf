#include "tools/zort-sim/options.h"

#include <gtest/gtest.h>

namespace {

TEST(SimOptions, DefaultsPaceLikeA1200BaudLine) {
  SimOptions options;
  ASSERT_EQ(parseSimOptions({}, options), "");
  EXPECT_DOUBLE_EQ(options.charMs, 8.33);
  EXPECT_DOUBLE_EQ(options.turnaroundMs, 20);
  EXPECT_TRUE(options.device.empty());
  EXPECT_TRUE(options.scenarioPath.empty());
  EXPECT_TRUE(options.logPath.empty());
  EXPECT_FALSE(options.printDefault);
}

TEST(SimOptions, TakesEveryOptionSeparatedOrWithEquals) {
  SimOptions options;
  ASSERT_EQ(parseSimOptions({"--device", "/dev/ttyS1", "--scenario=s.txt", "--char-ms", "0",
                             "--turnaround-ms=2.5", "--log", "l.txt", "--print-default"},
                            options),
            "");
  EXPECT_EQ(options.device, "/dev/ttyS1");
  EXPECT_EQ(options.scenarioPath, "s.txt");
  EXPECT_DOUBLE_EQ(options.charMs, 0);
  EXPECT_DOUBLE_EQ(options.turnaroundMs, 2.5);
  EXPECT_EQ(options.logPath, "l.txt");
  EXPECT_TRUE(options.printDefault);
}

TEST(SimOptions, RejectsWhatItCannotUse) {
  const std::vector<std::vector<std::string_view>> bad = {
      {"--bogus"},           {"--device"},          {"--char-ms", "-1"}, {"--char-ms", "fast"},
      {"--turnaround-ms="},  {"--char-ms", "1e9"},  {"--log", ""},       {"--print-default=1"},
      {"stray"},
  };
  for (const auto& arguments : bad) {
    SCOPED_TRACE(arguments.empty() ? "" : std::string(arguments[0]));
    SimOptions options;
    EXPECT_NE(parseSimOptions(arguments, options), "");
  }
}

}  // namespace
