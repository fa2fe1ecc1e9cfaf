// What the driver does to the dialog of another process, as a user would:
// through window messages, with a time limit on each so that a hung dialog
// shows as "hung" instead of hanging the driver.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

constexpr const char* kDialogCaption = "Tarvo02-p, Ostrel v.1.0";

// The dialog, or null.
HWND findDialog();

// A control of the dialog; null if the dialog has none with that ID.
HWND controlOf(HWND dialog, int id);

// The window's text in UTF-8; false if the window did not answer in time.
bool readText(HWND window, std::string& utf8);
bool writeText(HWND window, const std::string& utf8);

// Posts the text's characters to the control one WM_CHAR each, as typing
// reaches it through the dialog's message loop; it shows them a moment later.
bool typeText(HWND control, const std::string& utf8);

// -1 when the window did not answer.
int checkState(HWND button);

// The combo box's entries in UTF-8.
bool listItems(HWND combo, std::vector<std::string>& items);

// CB_SHOWDROPDOWN: the list drops down as the user's click drops it, with the
// CBN_DROPDOWN that announces it, or closes. False if it did not answer.
bool showDropDown(HWND combo, bool shown);

// Selects the entry whose text is name and sends the dialog the notification
// a user's choice ends with (CBN_SELENDOK). -1 if there is no such entry.
int selectItem(HWND dialog, HWND combo, const std::string& name);

// BM_CLICK: the button's own press and release. False if it did not answer.
bool clickButton(HWND button);

// Posts a key press and release to the dialog's focused control, the way the
// dialog's message loop receives a typed key.
bool pressKey(HWND dialog, WORD virtualKey);
