#include "ui/controls.h"

void setText(HWND window, const char* text) {
  SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void show(HWND window, bool visible) { ShowWindow(window, visible ? SW_SHOW : SW_HIDE); }

bool isChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void setChecked(HWND button, bool checked) {
  SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
