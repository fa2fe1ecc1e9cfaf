// The dialog's texts that are not resources (Windows-1251 in the program).
#pragma once

constexpr const char* kRefreshText = "Обновить";  // Open button when no port was found
constexpr const char* kSelectText = "Выбрать";    // Open button while the port list is shown
constexpr const char* kReadText = "Читать";
constexpr const char* kOpenedText = "Открыт";
constexpr const char* kWaitingText = "Ждём!...";  // status line while a cycle starts
// Status line after a report that went into Documents, the current folder
// being temporary or unwritable.
constexpr const char* kSavedToDocumentsText = "Сохранено в Документы";

// The hidden window's class and title.
constexpr const char* kHiddenWindowClass = "Tarvo01";
