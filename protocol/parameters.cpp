#include "protocol/parameters.h"

namespace {

struct LabelEntry {
  uint32_t valueControl;
  const char* text;
};

// The serial number's label keeps its trailing space.
constexpr std::array<LabelEntry, kParameterCount> kLabels = {{
    {517, "Версия ПО"},
    {518, "Сборка"},
    {519, "Контр. сумма"},
    {520, "ДУ (мм)"},
    {521, "Сетевой адрес"},
    {522, "Зав. N "},
}};

}  // namespace

const char* parameterLabel(uint32_t valueControl) {
  for (const auto& entry : kLabels)
    if (entry.valueControl == valueControl) return entry.text;
  return "";
}

size_t positionOfControl(uint32_t valueControl) {
  for (size_t i = 0; i < kParameterCount; ++i)
    if (kParameterTable[i].valueControl == valueControl) return i;
  return kParameterCount;
}
