// The compiled dialog template and string table, read back from the .res
// file the resource compiler makes of zort_ident.rc, against the dialog's
// layout: IDs, classes, styles, places, texts, font and labels.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "ui/dialog_ids.h"

namespace {

constexpr uint16_t kTypeDialog = 5;
constexpr uint16_t kTypeString = 6;

struct Reader {
  const std::vector<uint8_t>& bytes;
  size_t at;
  bool failed = false;

  uint32_t take(size_t size) {
    if (at + size > bytes.size()) {
      failed = true;
      at = bytes.size();
      return 0;
    }
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    at += size;
    return value;
  }
  uint16_t word() { return static_cast<uint16_t>(take(2)); }
  uint32_t dword() { return take(4); }
  void align(size_t to) { at = (at + to - 1) / to * to; }
};

// Resource texts are UTF-16, and are compared so.
std::u16string text(Reader& reader) {
  std::u16string value;
  for (uint16_t c = reader.word(); c != 0 && !reader.failed; c = reader.word()) value.push_back(c);
  return value;
}

std::u16string ordinal(uint16_t number) {
  std::u16string value = u"#";
  for (const char c : std::to_string(number)) value.push_back(static_cast<char16_t>(c));
  return value;
}

// A name or an ordinal ("#N"); "" for none.
std::u16string nameOrOrdinal(Reader& reader) {
  const uint16_t first = reader.word();
  if (first == 0) return u"";
  if (first == 0xFFFF) return ordinal(reader.word());
  reader.at -= 2;
  return text(reader);
}

struct Resource {
  std::u16string type, name;
  uint16_t language;
  std::vector<uint8_t> data;
};

std::vector<Resource> readResources(const std::vector<uint8_t>& bytes) {
  std::vector<Resource> resources;
  Reader reader{bytes, 0};
  while (reader.at + 8 <= bytes.size()) {
    const size_t start = reader.at;
    const uint32_t dataSize = reader.dword();
    const uint32_t headerSize = reader.dword();
    Resource resource;
    resource.type = nameOrOrdinal(reader);
    resource.name = nameOrOrdinal(reader);
    reader.align(4);
    reader.dword();  // data version
    reader.word();   // memory flags
    resource.language = reader.word();
    reader.at = start + headerSize;
    if (reader.failed || reader.at + dataSize > bytes.size()) break;
    resource.data.assign(bytes.begin() + reader.at, bytes.begin() + reader.at + dataSize);
    reader.at += dataSize;
    reader.align(4);
    if (dataSize > 0) resources.push_back(resource);
  }
  return resources;
}

struct Item {
  uint32_t style, exStyle;
  int x, y, cx, cy;
  uint32_t id;
  std::u16string windowClass, title;
};

struct Dialog {
  uint32_t style, exStyle;
  int x, y, cx, cy;
  std::u16string menu, windowClass, caption, fontName;
  uint16_t pointSize, weight;
  uint8_t italic, charset;
  std::vector<Item> items;
};

int16_t signedWord(Reader& reader) { return static_cast<int16_t>(reader.word()); }

Dialog readDialog(const std::vector<uint8_t>& data) {
  Dialog dialog{};
  Reader reader{data, 0};
  EXPECT_EQ(reader.word(), 1) << "extended template";
  EXPECT_EQ(reader.word(), 0xFFFF);
  reader.dword();  // help ID
  dialog.exStyle = reader.dword();
  dialog.style = reader.dword();
  const uint16_t count = reader.word();
  dialog.x = signedWord(reader);
  dialog.y = signedWord(reader);
  dialog.cx = signedWord(reader);
  dialog.cy = signedWord(reader);
  dialog.menu = nameOrOrdinal(reader);
  dialog.windowClass = nameOrOrdinal(reader);
  dialog.caption = text(reader);
  dialog.pointSize = reader.word();
  dialog.weight = reader.word();
  dialog.italic = static_cast<uint8_t>(reader.take(1));
  dialog.charset = static_cast<uint8_t>(reader.take(1));
  dialog.fontName = text(reader);
  for (uint16_t i = 0; i < count && !reader.failed; ++i) {
    reader.align(4);
    Item item{};
    reader.dword();  // help ID
    item.exStyle = reader.dword();
    item.style = reader.dword();
    item.x = signedWord(reader);
    item.y = signedWord(reader);
    item.cx = signedWord(reader);
    item.cy = signedWord(reader);
    item.id = reader.dword();
    item.windowClass = nameOrOrdinal(reader);
    item.title = nameOrOrdinal(reader);
    reader.at += reader.word();  // creation data
    dialog.items.push_back(item);
  }
  EXPECT_FALSE(reader.failed) << "the template ends early";
  return dialog;
}

class CompiledResources : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream file(ZORT_DIALOG_RES, std::ios::binary);
    ASSERT_TRUE(file) << ZORT_DIALOG_RES;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    resources_ = readResources(bytes);
  }
  const Resource* find(uint16_t type, uint16_t name) const {
    for (const auto& resource : resources_)
      if (resource.type == ordinal(type) && resource.name == ordinal(name)) return &resource;
    return nullptr;
  }
  // The strings of the block that holds the labels, by ID; empty entries
  // left out.
  std::map<uint32_t, std::u16string> labelStrings() const {
    std::map<uint32_t, std::u16string> strings;
    const Resource* resource = find(kTypeString, 49);
    if (resource == nullptr) return strings;
    Reader reader{resource->data, 0};
    for (uint32_t id = 768; id < 784; ++id) {
      std::u16string value;
      const uint16_t length = reader.word();
      for (uint16_t i = 0; i < length; ++i) value.push_back(reader.word());
      if (length > 0) strings[id] = value;
    }
    if (reader.failed) strings.clear();
    return strings;
  }
  std::vector<Resource> resources_;
};

constexpr uint16_t kRussian = 0x0419;
constexpr uint32_t kChild = 0x50000000;  // WS_CHILD | WS_VISIBLE

struct ExpectedItem {
  uint32_t id;
  const char16_t* windowClass;
  const char16_t* title;
  int x, y, cx, cy;
  uint32_t style;
};

// The layout in template order.
const ExpectedItem kItems[] = {
    {539, u"STATIC", u"Открыт", 8, 4, 40, 10, kChild},
    {540, u"STATIC", u"", 140, 4, 102, 10, kChild},
    {513, u"COMBOBOX", u"", 8, 4, 40, 144, kChild | 0x10000 | 0x200 | 0x3},
    {514, u"BUTTON", u"Открыть", 52, 4, 40, 10, kChild | 0x10000 | 0x1000 | 0x100 | 0x2},
    {515, u"BUTTON", u"Читать", 96, 4, 40, 10, kChild | 0x10000 | 0x1000 | 0x100 | 0x3},
    {516, u"BUTTON", u"В файл", 140, 4, 40, 10, kChild | 0x10000 | 0x1000 | 0x100 | 0x2},
    {65535, u"STATIC", u"Идентификация ЗОРТ", 8, 28, 116, 10, kChild},
    {773, u"STATIC", u"", 52, 40, 40, 10, kChild},
    {517, u"EDIT", u"", 52, 50, 40, 10, kChild | 0x20000},
    {774, u"STATIC", u"", 100, 40, 54, 10, kChild},
    {518, u"EDIT", u"", 100, 50, 86, 10, kChild | 0x20000},
    {775, u"STATIC", u"", 190, 40, 54, 10, kChild},
    {519, u"EDIT", u"", 190, 50, 54, 10, kChild | 0x20000},
    {520, u"EDIT", u"", 8, 50, 40, 10, kChild | 0x20000},
    {776, u"STATIC", u"", 8, 40, 40, 10, kChild},
    {521, u"EDIT", u"", 190, 28, 54, 10, kChild | 0x20000},
    {777, u"STATIC", u"", 190, 18, 54, 10, kChild},
    {522, u"EDIT", u"", 128, 28, 54, 10, kChild | 0x20000},
    {778, u"STATIC", u"", 128, 18, 54, 10, kChild},
};

TEST_F(CompiledResources, DialogTemplateHasTheLayout) {
  const Resource* resource = find(kTypeDialog, 512);
  ASSERT_NE(resource, nullptr) << "no dialog 512";
  EXPECT_EQ(resource->language, kRussian);
  const Dialog dialog = readDialog(resource->data);
  EXPECT_EQ(dialog.style, 0x90CA03C9u);
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.cx, 252);
  EXPECT_EQ(dialog.cy, 66);
  EXPECT_EQ(dialog.menu, u"");
  EXPECT_EQ(dialog.windowClass, u"");
  EXPECT_EQ(dialog.caption, u"Tarvo02-p, Ostrel v.1.0");
  EXPECT_EQ(dialog.fontName, u"Ms Shell Dlg");
  EXPECT_EQ(dialog.pointSize, 11);
  EXPECT_EQ(dialog.weight, 0);
  EXPECT_EQ(dialog.italic, 0);
  EXPECT_EQ(dialog.charset, 1);
  ASSERT_EQ(dialog.items.size(), std::size(kItems));
  for (size_t i = 0; i < dialog.items.size(); ++i) {
    const Item& item = dialog.items[i];
    const ExpectedItem& expected = kItems[i];
    SCOPED_TRACE("control " + std::to_string(i + 1) + ", ID " + std::to_string(expected.id));
    EXPECT_EQ(item.id, expected.id);
    // The class is stored by name or by its predefined atom.
    const std::map<std::u16string, std::u16string> atoms = {
        {u"#128", u"BUTTON"}, {u"#129", u"EDIT"}, {u"#130", u"STATIC"}, {u"#133", u"COMBOBOX"}};
    const auto atom = atoms.find(item.windowClass);
    EXPECT_TRUE((atom != atoms.end() ? atom->second : item.windowClass) == expected.windowClass);
    EXPECT_TRUE(item.title == expected.title) << "text of the control";
    EXPECT_EQ(item.x, expected.x);
    EXPECT_EQ(item.y, expected.y);
    EXPECT_EQ(item.cx, expected.cx);
    EXPECT_EQ(item.cy, expected.cy);
    EXPECT_EQ(item.style, expected.style);
    EXPECT_EQ(item.exStyle, 0u);
  }
}

TEST_F(CompiledResources, StringTableHoldsTheLabels) {
  // Strings 773..778 lie in block 49 (IDs 768..783), entries 5..10.
  const Resource* resource = find(kTypeString, 49);
  ASSERT_NE(resource, nullptr) << "no string block for 768..783";
  EXPECT_EQ(resource->language, kRussian);
  const std::map<uint32_t, std::u16string> strings = labelStrings();
  const std::map<uint32_t, std::u16string> expected = {
      {773, u"Версия ПО"}, {774, u"Сборка"},        {775, u"Контр. сумма"},
      {776, u"ДУ (мм)"},   {777, u"Сетевой адрес"}, {778, u"Зав. N "},
  };
  EXPECT_EQ(strings, expected);
}

// The map from table position to value field, and from field to label: each
// position's label, as the dialog loads it, is its parameter's.
TEST_F(CompiledResources, EveryPositionHasItsFieldAndItsLabel) {
  const std::array<int, kParameterCount> fields = {517, 518, 519, 522, 520, 521};
  EXPECT_EQ(kValueControls, fields);
  std::vector<int> reported;
  for (const size_t position : kReportOrder) reported.push_back(kValueControls[position]);
  EXPECT_EQ(reported, (std::vector<int>{517, 518, 519, 521, 520, 522}));
  const std::array<std::u16string, kParameterCount> labels = {
      u"Версия ПО", u"Сборка", u"Контр. сумма", u"Зав. N ", u"ДУ (мм)", u"Сетевой адрес"};
  const std::map<uint32_t, std::u16string> strings = labelStrings();
  for (size_t position = 0; position < kParameterCount; ++position) {
    const auto found = strings.find(static_cast<uint32_t>(labelControlOf(kValueControls[position])));
    ASSERT_NE(found, strings.end()) << "position " << position;
    EXPECT_TRUE(found->second == labels[position]) << "position " << position;
  }
}

}  // namespace
