#include "protocol/status.h"

#include <array>

namespace {

// Eleven slots of at most 31 characters and their NUL each.
constexpr std::array<const char*, kStatusCodeCount> kStatusMessageTable = {
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

}  // namespace

const char* statusMessage(uint32_t code) {
  return code < kStatusMessageTable.size() ? kStatusMessageTable[code] : "";
}
