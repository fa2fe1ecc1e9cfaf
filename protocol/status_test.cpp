#include "protocol/status.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(StatusMessage, EveryCodeHasItsText) {
  // Written as UTF-8 here, compiled to Windows-1251 like the table.
  const char* expected[kStatusCodeCount] = {
      "OK!",
      "Не найден ни один COM порт",
      "Не удалось открыть порт.",
      "Не удалось установить DCB.",
      "Не удалось установить CFG.",
      "Не удалось установить TOUT.",
      "Ошибка отправки данных.",
      "Нет ответа.",
      "Неверный формат.",
      "Не удалось записать.файл",
      "прервано",
  };
  for (uint32_t code = 0; code < kStatusCodeCount; ++code) {
    SCOPED_TRACE(code);
    EXPECT_STREQ(statusMessage(code), expected[code]);
    EXPECT_LT(std::strlen(statusMessage(code)), 32u) << "fits a 32-byte slot";
  }
}

TEST(StatusMessage, TextsAreSingleByteWindows1251) {
  // "Н" is 0xCD in Windows-1251; UTF-8 would start with 0xD0.
  EXPECT_EQ(static_cast<unsigned char>(statusMessage(kStatusNoAnswer)[0]), 0xCDu);
  EXPECT_EQ(std::strlen(statusMessage(kStatusNoAnswer)), 11u);
}

TEST(StatusMessage, CodesOutsideTheTableGiveAnEmptyText) {
  for (uint32_t code : {11u, 12u, 255u, 0xFFFFFFFFu}) EXPECT_STREQ(statusMessage(code), "");
}

}  // namespace
