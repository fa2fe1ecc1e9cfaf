#include "tools/zort-read/reader_output.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/golden_texts.h"

namespace {

using golden::utf8;

struct EscapeCase {
  std::string text;
  std::string json;
};

TEST(JsonString, EscapesWhatJsonRequires) {
  const EscapeCase cases[] = {
      {"plain", "\"plain\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"\r\n\t", "\"\\r\\n\\t\""},
      {std::string("\x01\x1f\x00", 3), "\"\\u0001\\u001f\\u0000\""},
      {utf8(u8"Зав. N "), "\"" + utf8(u8"Зав. N ") + "\""},
      {"\x7f/", "\"\x7f/\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(jsonString(c.text), c.json);
  }
}

// Values come from the instrument in Windows-1251 whatever the build.
TEST(ValueLines, ReportOrderAlignedInUtf8) {
  ResultStore results{};
  const char* values[] = {"22", "2025", "72C0", "\xC7\xD2-1", "50", "1"};
  for (size_t i = 0; i < kParameterCount; ++i) setValueText(results[i], values[i]);
  EXPECT_EQ(formatValueLines(results), utf8(u8"Версия ПО:      22\n"
                                            u8"Сборка:         2025\n"
                                            u8"Контр. сумма:   72C0\n"
                                            u8"Сетевой адрес:  1\n"
                                            u8"ДУ (мм):        50\n"
                                            u8"Зав. N:         ЗТ-1\n"));
}

TEST(Json, EntriesInRequestOrderEmptyWhereNotRead) {
  ResultStore results{};
  setValueText(results[0], "22");
  setValueText(results[2], "72C0");
  EXPECT_EQ(formatJson("COM3", kStatusNoAnswer, results),
            utf8(u8"{\"port\": \"COM3\", \"status\": 7, \"message\": \"Нет ответа.\", "
                 u8"\"values\": [{\"code\": \"A\", \"key\": \"version\", \"label\": \"Версия ПО\", \"value\": \"22\"}, "
                 u8"{\"code\": \"B\", \"key\": \"build\", \"label\": \"Сборка\", \"value\": \"\"}, "
                 u8"{\"code\": \"b\", \"key\": \"checksum\", \"label\": \"Контр. сумма\", \"value\": \"72C0\"}, "
                 u8"{\"code\": \"@\", \"key\": \"serial\", \"label\": \"Зав. N \", \"value\": \"\"}, "
                 u8"{\"code\": \"I\", \"key\": \"bore\", \"label\": \"ДУ (мм)\", \"value\": \"\"}, "
                 u8"{\"code\": \"F\", \"key\": \"address\", \"label\": \"Сетевой адрес\", \"value\": \"\"}]}\n"));
}

}  // namespace
