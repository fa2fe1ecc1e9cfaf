// The dialog's texts that the code sets (Windows-1251 in the program).
// Those the template shows first are macros, which the template
// (resources/zort_ident.rc) takes too, so that each is written once.
#pragma once

#define ZORT_READ_TEXT "Читать"
#define ZORT_OPENED_TEXT "Открыт"

#ifndef RC_INVOKED

constexpr const char* kRefreshText = "Обновить";  // Open button when no port was found
constexpr const char* kSelectText = "Выбрать";    // Open button while the port list is shown
constexpr const char* kReadText = ZORT_READ_TEXT;
constexpr const char* kOpenedText = ZORT_OPENED_TEXT;
// Status line after a report that went into Documents, the current folder
// being temporary or unwritable.
constexpr const char* kSavedToDocumentsText = "Сохранено в Документы";

// The hidden window's class and title.
constexpr const char* kHiddenWindowClass = "Tarvo01";

#endif
