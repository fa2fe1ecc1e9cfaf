// The system's texts as the tests expect them, written once: the dialog's
// caption and labels, the status texts by code and the progress texts. In
// UTF-8, as zort-read prints them and the GUI driver reports them; the
// programs hold them in Windows-1251 (zort-read's cp1251.h converts).
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace golden {

inline std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

inline const std::string kCaption = "Tarvo02-p, Ostrel v.1.0";

// The status line's text for each status code 0 to 10.
inline const std::array<std::string, 11> kStatusTexts = {
    "OK!",
    utf8(u8"Не найден ни один COM порт"),
    utf8(u8"Не удалось открыть порт."),
    utf8(u8"Не удалось установить DCB."),
    utf8(u8"Не удалось установить CFG."),
    utf8(u8"Не удалось установить TOUT."),
    utf8(u8"Ошибка отправки данных."),
    utf8(u8"Нет ответа."),
    utf8(u8"Неверный формат."),
    utf8(u8"Не удалось записать.файл"),
    utf8(u8"прервано"),
};

inline const std::string& statusText(size_t code) { return kStatusTexts.at(code); }

// The labels in request order (A B b @ I F); the serial number's keeps its
// trailing space.
inline const std::array<std::string, 6> kLabelsInRequestOrder = {
    utf8(u8"Версия ПО"), utf8(u8"Сборка"),  utf8(u8"Контр. сумма"),
    utf8(u8"Зав. N "),   utf8(u8"ДУ (мм)"), utf8(u8"Сетевой адрес")};

// The label controls 773 to 778, in control order.
inline const std::array<std::string, 6> kLabelsInControlOrder = {
    utf8(u8"Версия ПО"), utf8(u8"Сборка"),        utf8(u8"Контр. сумма"),
    utf8(u8"ДУ (мм)"),   utf8(u8"Сетевой адрес"), utf8(u8"Зав. N ")};

inline const std::string kWaitingText = utf8(u8"Ждём!...");
// The dialog's status line after a report went into Documents.
inline const std::string kSavedToDocumentsText = utf8(u8"Сохранено в Документы");

// "исполнено на %2d%%" for the six positions: 0, 16, 33, 50, 66, 83.
inline const std::array<std::string, 6> kProgressTexts = {
    utf8(u8"исполнено на  0%"), utf8(u8"исполнено на 16%"), utf8(u8"исполнено на 33%"),
    utf8(u8"исполнено на 50%"), utf8(u8"исполнено на 66%"), utf8(u8"исполнено на 83%")};
inline const std::string kProgressStart = utf8(u8"исполнено на ");
inline const std::string kInterruptedStart = utf8(u8"прервано на ");

// A UTF-8 text in Windows-1251, as the report files hold the system's texts
// ("<no iconv>" where the system has no converter).
std::string toCp1251(const std::string& utf8Text);

// A UTF-8 text as this build's programs hold it: Windows-1251 where string
// literals are stored so (g++ with -fexec-charset=CP1251), else unchanged.
std::string programText(const std::string& utf8Text);

}  // namespace golden
