#include "protocol/parameters.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/results.h"

namespace {

TEST(ParameterTable, ReportOrderHoldsEveryPositionOnce) {
  const std::set<size_t> reported(kReportOrder.begin(), kReportOrder.end());
  EXPECT_EQ(reported.size(), kParameterCount);
  EXPECT_EQ(*reported.rbegin(), kParameterCount - 1);
  std::vector<std::string_view> keys;
  for (const size_t position : kReportOrder) keys.push_back(kParameterTable[position].key);
  const std::vector<std::string_view> expected = {"version", "build", "checksum",
                                                  "address", "bore",  "serial"};
  EXPECT_EQ(keys, expected);
}

TEST(ParameterTable, LabelsAndKeysBelongToTheirPositionsAndTheSerialLabelKeepsItsSpace) {
  EXPECT_STREQ(kParameterTable[kSoftwareVersionPosition].label, "Версия ПО");
  EXPECT_STREQ(kParameterTable[kChecksumPosition].label, "Контр. сумма");
  EXPECT_STREQ(kParameterTable[kSerialNumberPosition].label, "Зав. N ");
  EXPECT_EQ(kParameterTable[kSerialNumberPosition].key, "serial");
  for (size_t i = 0; i < kParameterCount; ++i)
    EXPECT_EQ(positionOfKey(kParameterTable[i].key), i);
  EXPECT_EQ(positionOfKey("Version"), kParameterCount);
  EXPECT_EQ(positionOfKey(""), kParameterCount);
}

TEST(ValueText, IsCutAt63CharactersAndCleared) {
  ParameterResult result{};
  setValueText(result, std::string(100, 'x'));
  EXPECT_EQ(valueText(result), std::string(63, 'x'));
  setValueText(result, "12");
  EXPECT_EQ(valueText(result), "12");
  clearValueText(result);
  EXPECT_TRUE(valueText(result).empty());
}

}  // namespace
