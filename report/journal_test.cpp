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

const LocalTime kTime = {2026, 3, 7, 9, 5, 1};

ResultStore resultsToJournal() {
  ResultStore results{};
  // The instrument's texts are Windows-1251: "ЗТ;1" as a serial number.
  const char* values[] = {"22", "2025", "72C0", "\xC7\xD2;1", "50", "1"};
  for (size_t i = 0; i < kParameterCount; ++i) setValueText(results[i], values[i]);
  return results;
}

TEST(Journal, HeaderStartsWithTheByteOrderMarkAndNamesEveryColumn) {
  EXPECT_EQ(journalHeader(false),
            utf8(u8"\uFEFFВремя;Порт;Код;Сообщение;Версия ПО;Сборка;Контр. сумма;Сетевой адрес;"
                 u8"ДУ (мм);Зав. N\r\n"));
  EXPECT_EQ(journalHeader(true),
            utf8(u8"\uFEFFВремя;Порт;Код;Сообщение;Версия ПО;Сборка;Контр. сумма;Сетевой адрес;"
                 u8"ДУ (мм);Зав. N;Совпадение\r\n"));
}

TEST(Journal, RowHoldsTheValuesInReportOrder) {
  const ResultStore results = resultsToJournal();
  const JournalEntry entry = {kTime, "COM3", kStatusOk, &results, false, std::nullopt};
  EXPECT_EQ(journalRow(entry),
            utf8(u8"2026-03-07T09:05:01;COM3;0;OK!;22;2025;72C0;1;50;\"ЗТ;1\"\r\n"));
}

TEST(Journal, RowOfAFailedReadAndTheMatchColumn) {
  const ResultStore empty{};
  JournalEntry entry = {kTime, "/dev/a;b", kStatusNoAnswer, &empty, true, std::nullopt};
  EXPECT_EQ(journalRow(entry),
            utf8(u8"2026-03-07T09:05:01;\"/dev/a;b\";7;Нет ответа.;;;;;;;\r\n"));
  const ResultStore results = resultsToJournal();
  entry = {kTime, "COM3", kStatusOk, &results, true, true};
  EXPECT_TRUE(journalRow(entry).ends_with(utf8(u8"1\";да\r\n"))) << journalRow(entry);
  entry.matched = false;
  EXPECT_TRUE(journalRow(entry).ends_with(utf8(u8"1\";нет\r\n"))) << journalRow(entry);
}

}  // namespace
