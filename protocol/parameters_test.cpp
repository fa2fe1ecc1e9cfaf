#include "protocol/parameters.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "protocol/results.h"

namespace {

TEST(ParameterTable, ExportListHoldsEveryValueControlOnceAndEndsWithZero) {
  std::set<uint32_t> inTable;
  for (const auto& entry : kParameterTable) inTable.insert(entry.valueControl);
  std::set<uint32_t> exported;
  for (size_t i = 0; i + 1 < kExportControlList.size(); ++i) {
    ASSERT_NE(kExportControlList[i], 0u);
    exported.insert(kExportControlList[i]);
  }
  EXPECT_EQ(kExportControlList.back(), 0u);
  EXPECT_EQ(exported, inTable);
  EXPECT_EQ(inTable.size(), kParameterCount);
}

TEST(ParameterTable, LabelsBelongToTheirControlsAndTheSerialLabelKeepsItsSpace) {
  EXPECT_STREQ(parameterLabel(522), "Зав. N ");
  EXPECT_STREQ(parameterLabel(kParameterTable[kSoftwareVersionPosition].valueControl),
               "Версия ПО");
  EXPECT_STREQ(parameterLabel(kParameterTable[kChecksumPosition].valueControl),
               "Контр. сумма");
  EXPECT_STREQ(parameterLabel(kParameterTable[kSerialNumberPosition].valueControl), "Зав. N ");
  EXPECT_STREQ(parameterLabel(522 + kLabelOffset), "");
  for (size_t i = 0; i < kParameterCount; ++i)
    EXPECT_EQ(positionOfControl(kParameterTable[i].valueControl), i);
  EXPECT_EQ(positionOfControl(516), kParameterCount);
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
