#include "report/journal.h"
#include "tests/support/golden_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using golden::utf8;

struct FieldCase {
  const char* name;
  std::string text;
  std::string field;
};

class CsvFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(CsvFieldTest, QuotesOnlyWhatWouldSplitTheRow) {
  EXPECT_EQ(csvField(GetParam().text), GetParam().field);
}

const FieldCase kFieldCases[] = {
    {"Plain", "ZT-004217", "ZT-004217"},
    {"Empty", "", ""},
    {"Comma", "a,b", "a,b"},
    {"Semicolon", "a;b", "\"a;b\""},
    {"Quote", "a\"b", "\"a\"\"b\""},
    {"OnlyQuotes", "\"\"", "\"\"\"\"\"\""},
    {"LineEnds", "a\r\nb", "\"a\r\nb\""},
    {"Cyrillic", utf8(u8"ЗТ-1"), utf8(u8"ЗТ-1")},
};

INSTANTIATE_TEST_SUITE_P(Fields, CsvFieldTest, testing::ValuesIn(kFieldCases),
                         [](const auto& info) { return std::string(info.param.name); });

const ZonedTime kTime = {{2026, 3, 7, 9, 5, 1}, 180};

ResultStore resultsToJournal() {
  ResultStore results{};
  // The instrument's texts are Windows-1251: "ЗТ;1" as a serial number.
  const char* values[] = {"22", "2025", "72C0", "\xC7\xD2;1", "50", "1"};
  for (size_t i = 0; i < kParameterCount; ++i) setValueText(results[i], values[i]);
  return results;
}

const std::string kHeader =
    utf8(u8"\uFEFFВремя;Станция;Оператор;Порт;Вердикт;Код;Сообщение;Версия ПО;Сборка;"
         u8"Контр. сумма;Сетевой адрес;ДУ (мм);Зав. N;Профиль;Попытки;Версия программы\r\n");

size_t fieldsOf(const std::string& row) {
  size_t fields = 1;
  bool quoted = false;
  for (const char c : row) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) ++fields;
  }
  return fields;
}

TEST(Journal, HeaderStartsWithTheByteOrderMarkAndNamesEveryColumn) {
  EXPECT_EQ(journalHeader(), kHeader);
}

TEST(Journal, TimeCarriesItsDistanceFromUtc) {
  EXPECT_EQ(isoTimeWithOffset(kTime), "2026-03-07T09:05:01+03:00");
  EXPECT_EQ(isoTimeWithOffset({{2026, 12, 10, 18, 22, 5}, 0}), "2026-12-10T18:22:05+00:00");
  EXPECT_EQ(isoTimeWithOffset({{2026, 12, 10, 18, 22, 5}, -210}), "2026-12-10T18:22:05-03:30");
  EXPECT_EQ(isoTimeWithOffset({{2026, 12, 10, 18, 22, 5}, 345}), "2026-12-10T18:22:05+05:45");
}

struct RowCase {
  const char* name;
  JournalEntry entry;
  std::string row;
};

const ResultStore kRead = resultsToJournal();
const ResultStore kNothing{};

class JournalRowTest : public testing::TestWithParam<RowCase> {};

// Every row has the header's width, whatever applies to it.
TEST_P(JournalRowTest, HasEveryColumnInPlace) {
  const std::string row = journalRow(GetParam().entry);
  EXPECT_EQ(row, GetParam().row);
  EXPECT_EQ(fieldsOf(row), fieldsOf(kHeader));
}

const RowCase kRowCases[] = {
    {"Passed",
     {kTime, "line-2", utf8(u8"Иванов"), "COM3", "pass", kStatusOk, &kRead,
      "serial=ZT-004217", 1, "1.0.0"},
     utf8(u8"2026-03-07T09:05:01+03:00;line-2;Иванов;COM3;pass;0;OK!;22;2025;72C0;1;50;"
          u8"\"ЗТ;1\";serial=ZT-004217;1;1.0.0\r\n")},
    {"NothingExpectedNoOperator",
     {kTime, "bench", "", "COM3", "pass", kStatusOk, &kRead, "", 2, "1.0.0"},
     utf8(u8"2026-03-07T09:05:01+03:00;bench;;COM3;pass;0;OK!;22;2025;72C0;1;50;\"ЗТ;1\";;2;"
          u8"1.0.0\r\n")},
    {"Differs",
     {kTime, "bench", "", "COM3", "fail", kStatusOk, &kRead, "profile.txt", 1, "1.0.0"},
     utf8(u8"2026-03-07T09:05:01+03:00;bench;;COM3;fail;0;OK!;22;2025;72C0;1;50;\"ЗТ;1\";"
          u8"profile.txt;1;1.0.0\r\n")},
    // A port that did not open made no exchange: no tries.
    {"PortNotOpened",
     {kTime, "bench", "", "/dev/a;b", "error", kStatusOpenFailed, &kNothing, "build=1", 0,
      "1.0.0"},
     utf8(u8"2026-03-07T09:05:01+03:00;bench;;\"/dev/a;b\";error;2;Не удалось открыть порт.;;;;;;;"
          u8"build=1;;1.0.0\r\n")},
    {"Interrupted",
     {kTime, "bench", "", "COM3", "error", kStatusInterrupted, &kNothing, "", 1, "1.0.0"},
     utf8(u8"2026-03-07T09:05:01+03:00;bench;;COM3;error;10;прервано;;;;;;;;1;1.0.0\r\n")},
};

INSTANTIATE_TEST_SUITE_P(Rows, JournalRowTest, testing::ValuesIn(kRowCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
