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
  uint32_t style;
};

constexpr uint32_t kTabStop = 0x10000;  // WS_TABSTOP

// The controls in template order: IDs, classes, texts and styles, which the
// dialog's code and its users rely on. Where each lies is checked below by
// what the user sees of it.
const ExpectedItem kItems[] = {
    {539, u"STATIC", u"Открыт", kChild},
    {540, u"STATIC", u"", kChild},
    {513, u"COMBOBOX", u"", kChild | kTabStop | 0x200 | 0x3},
    {514, u"BUTTON", u"Открыть", kChild | kTabStop | 0x1000 | 0x100 | 0x2},
    {515, u"BUTTON", u"Читать", kChild | kTabStop | 0x1000 | 0x100 | 0x3},
    {516, u"BUTTON", u"В файл", kChild | kTabStop | 0x1000 | 0x100 | 0x2},
    {65535, u"STATIC", u"Идентификация ЗОРТ", kChild},
    {773, u"STATIC", u"", kChild},
    {517, u"EDIT", u"", kChild | 0x20000},
    {774, u"STATIC", u"", kChild},
    {518, u"EDIT", u"", kChild | 0x20000},
    {775, u"STATIC", u"", kChild},
    {519, u"EDIT", u"", kChild | 0x20000},
    {520, u"EDIT", u"", kChild | 0x20000},
    {776, u"STATIC", u"", kChild},
    {521, u"EDIT", u"", kChild | 0x20000},
    {777, u"STATIC", u"", kChild},
    {522, u"EDIT", u"", kChild | 0x20000},
    {778, u"STATIC", u"", kChild},
};

// The class is stored by name or by its predefined atom.
std::u16string className(const Item& item) {
  const std::map<std::u16string, std::u16string> atoms = {
      {u"#128", u"BUTTON"}, {u"#129", u"EDIT"}, {u"#130", u"STATIC"}, {u"#133", u"COMBOBOX"}};
  const auto atom = atoms.find(item.windowClass);
  return atom != atoms.end() ? atom->second : item.windowClass;
}

TEST_F(CompiledResources, DialogTemplateHasTheControls) {
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
    EXPECT_TRUE(className(item) == expected.windowClass);
    EXPECT_TRUE(item.title == expected.title) << "text of the control";
    EXPECT_EQ(item.style, expected.style);
    EXPECT_EQ(item.exStyle, 0u);
  }
}

// ---------------------------------------------------------------------------
// Where the controls lie, by what the user sees: in dialog units, where a
// character is 4 wide and 8 high on average.

struct Box {
  int left, top, right, bottom;
};

bool overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class DialogLayout : public CompiledResources {
 protected:
  void SetUp() override {
    CompiledResources::SetUp();
    const Resource* resource = find(kTypeDialog, 512);
    ASSERT_NE(resource, nullptr) << "no dialog 512";
    dialog_ = readDialog(resource->data);
    for (const Item& item : dialog_.items) items_[item.id] = item;
    for (const uint32_t id : {513u, 539u, 540u, 516u}) ASSERT_EQ(items_.count(id), 1u) << id;
  }
  const Item& item(uint32_t id) { return items_.at(id); }
  // What the control covers when the dialog shows: the port list's closed
  // field is one row, its template height is the list it drops.
  Box shown(const Item& item) const {
    const int height = item.id == 513 ? items_.at(539).cy : item.cy;
    return {item.x, item.y, item.x + item.cx, item.y + height};
  }
  // The two pairs that share their place on purpose: the port list and the
  // opened marker, of which one shows at a time; the To-file button over
  // the status line, shown only once the line is emptied.
  static bool sharesItsPlaceOnPurpose(uint32_t a, uint32_t b) {
    const auto pair = [&](uint32_t x, uint32_t y) { return (a == x && b == y) || (a == y && b == x); };
    return pair(513, 539) || pair(516, 540);
  }

  Dialog dialog_;
  std::map<uint32_t, Item> items_;
};

TEST_F(DialogLayout, EveryControlLiesInsideTheDialog) {
  for (const Item& control : dialog_.items) {
    SCOPED_TRACE(control.id);
    const Box box = shown(control);
    EXPECT_GE(box.left, 0);
    EXPECT_GE(box.top, 0);
    EXPECT_LE(box.right, dialog_.cx);
    EXPECT_LE(box.bottom, dialog_.cy);
    EXPECT_GE(control.cy, 8) << "a line of text high";
  }
}

TEST_F(DialogLayout, NoTwoControlsOverlapBeyondThoseThatShareAPlace) {
  for (size_t i = 0; i < dialog_.items.size(); ++i)
    for (size_t j = i + 1; j < dialog_.items.size(); ++j) {
      const Item& a = dialog_.items[i];
      const Item& b = dialog_.items[j];
      if (sharesItsPlaceOnPurpose(a.id, b.id)) continue;
      EXPECT_FALSE(overlap(shown(a), shown(b))) << a.id << " and " << b.id;
    }
}

TEST_F(DialogLayout, TheSharedPlacesAreSharedAsTheDialogShowsThem) {
  // The marker stands exactly where the closed port list is, and the list
  // drops below it.
  const Box list = shown(item(513));
  const Box marker = shown(item(539));
  EXPECT_EQ(list.left, marker.left);
  EXPECT_EQ(list.top, marker.top);
  EXPECT_EQ(list.right, marker.right);
  EXPECT_EQ(list.bottom, marker.bottom);
  EXPECT_GE(item(513).cy, 4 * item(539).cy) << "the dropped list shows several ports";
  // The To-file button covers the status line's left part, on its row.
  const Box button = shown(item(516));
  const Box status = shown(item(540));
  EXPECT_EQ(button.left, status.left);
  EXPECT_EQ(button.top, status.top);
  EXPECT_EQ(button.bottom, status.bottom);
  EXPECT_LT(button.right, status.right);
}

// Each value field has its label just above it, starting where it starts
// and no wider than it.
TEST_F(DialogLayout, EveryLabelStandsRightAboveItsField) {
  for (const int field : kValueControls) {
    SCOPED_TRACE(field);
    const auto label = items_.find(static_cast<uint32_t>(labelControlOf(field)));
    ASSERT_NE(label, items_.end()) << "no label control";
    ASSERT_EQ(items_.count(static_cast<uint32_t>(field)), 1u) << "no value field";
    const Item& value = item(static_cast<uint32_t>(field));
    EXPECT_EQ(label->second.x, value.x);
    EXPECT_EQ(label->second.y + label->second.cy, value.y);
    EXPECT_LE(label->second.cx, value.cx);
  }
}

// Tab goes through the port list and the three buttons, left to right
// along the top row.
TEST_F(DialogLayout, TabGoesLeftToRightAlongTheButtons) {
  std::vector<uint32_t> tabStops;
  for (const Item& control : dialog_.items)
    if ((control.style & kTabStop) != 0) tabStops.push_back(control.id);
  ASSERT_EQ(tabStops, (std::vector<uint32_t>{513, 514, 515, 516}));
  for (size_t i = 1; i < tabStops.size(); ++i) {
    const Box before = shown(item(tabStops[i - 1]));
    const Box next = shown(item(tabStops[i]));
    EXPECT_EQ(next.top, before.top) << tabStops[i] << " is on the row of " << tabStops[i - 1];
    EXPECT_GE(next.left, before.right) << tabStops[i] << " lies right of " << tabStops[i - 1];
  }
}

// At the average character width every text has room in its control: the
// template's own texts, the labels and the Open button's later texts.
TEST_F(DialogLayout, EveryTextHasRoomInItsControl) {
  const auto room = [](const Item& control, const std::u16string& text) {
    return static_cast<int>(text.size()) * 4 <= control.cx;
  };
  for (const Item& control : dialog_.items)
    EXPECT_TRUE(room(control, control.title)) << control.id;
  for (const auto& [id, text] : labelStrings()) {
    ASSERT_EQ(items_.count(id), 1u) << id;
    EXPECT_TRUE(room(item(id), text)) << id;
  }
  for (const std::u16string text : {u"Обновить", u"Выбрать"})
    EXPECT_TRUE(room(item(514), text));
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
