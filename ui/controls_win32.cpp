#include "ui/controls.h"

#include <algorithm>
#include <vector>

#include "text/wide_text.h"

void setText(HWND window, const char* text) {
  const std::wstring wide = toWide(kProgramCodePage, text);
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string controlText(HWND window, size_t maxLength) {
  std::vector<wchar_t> text(maxLength + 1, L'\0');
  const LRESULT length =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  if (length <= 0) return {};
  const size_t kept = std::min(static_cast<size_t>(length), maxLength);
  return fromWide(kProgramCodePage, std::wstring_view(text.data(), kept));
}

void show(HWND window, bool visible) { ShowWindow(window, visible ? SW_SHOW : SW_HIDE); }

bool isChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void setChecked(HWND button, bool checked) {
  SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
