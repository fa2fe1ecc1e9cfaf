// The few control operations the dialog, the read view and the export share.
// Texts are Windows-1251 inside the program; here they meet the (Unicode)
// controls: converted to UTF-16 and back explicitly, never through the
// system's ANSI code page, so they read the same on every system. The other
// W calls of the dialog: the labels it loads (main_dialog_win32.cpp), the
// port list's entries (port_list_win32.cpp) and its icons (desktop_win32.cpp);
// files and error texts go through os/.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

void setText(HWND window, const char* text);

// At most maxLength characters of the window's text, in Windows-1251; a
// character it cannot hold becomes "?".
std::string controlText(HWND window, size_t maxLength);

void show(HWND window, bool visible);
bool isChecked(HWND button);
void setChecked(HWND button, bool checked);
