// The few control operations the dialog and the read view share. Texts are
// Windows-1251.
#pragma once

#include <windows.h>

void setText(HWND window, const char* text);
void show(HWND window, bool visible);
bool isChecked(HWND button);
void setChecked(HWND button, bool checked);
