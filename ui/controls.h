// The few control operations the dialog, the read view and the export share.
// Texts are Windows-1251 inside the program; here, and only here, they meet
// the (Unicode) windows: converted to UTF-16 and back explicitly, never
// through the system's ANSI code page, so they read the same on every system.
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
