#include "tests/gui/driver/dialog_access.h"

#include <array>

namespace {

constexpr UINT kAnswerTimeoutMs = 5000;

std::string toUtf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                        size, nullptr, nullptr);
  return text;
}

std::wstring fromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        size);
  return wide;
}

bool send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                          &answer) == 0)
    return false;
  result = static_cast<LRESULT>(answer);
  return true;
}

}  // namespace

HWND findDialog() { return FindWindowA(nullptr, kDialogCaption); }

HWND controlOf(HWND dialog, int id) { return GetDlgItem(dialog, id); }

bool readText(HWND window, std::string& utf8) {
  // One message with room to spare: a length asked for first may be out of
  // date by the time the text is fetched, while the worker changes it.
  for (size_t room = 1024;; room *= 2) {
    std::wstring wide(room, L'\0');
    LRESULT copied = 0;
    if (!send(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()), copied))
      return false;
    if (static_cast<size_t>(copied) + 1 < room || room >= 65536) {
      wide.resize(static_cast<size_t>(copied));
      utf8 = toUtf8(wide);
      return true;
    }
  }
}

bool writeText(HWND window, const std::string& utf8) {
  const std::wstring wide = fromUtf8(utf8);
  LRESULT result = 0;
  return send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), result);
}

bool typeText(HWND control, const std::string& utf8) {
  for (const wchar_t unit : fromUtf8(utf8))
    if (PostMessageW(control, WM_CHAR, unit, 1) == 0) return false;
  return true;
}

int checkState(HWND button) {
  LRESULT state = 0;
  if (!send(button, BM_GETCHECK, 0, 0, state)) return -1;
  return static_cast<int>(state);
}

bool listItems(HWND combo, std::vector<std::string>& items) {
  LRESULT count = 0;
  if (!send(combo, CB_GETCOUNT, 0, 0, count) || count < 0) return false;
  items.clear();
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = 0;
    if (!send(combo, CB_GETLBTEXTLEN, i, 0, length) || length < 0) return false;
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()), copied) ||
        copied < 0)
      return false;
    wide.resize(static_cast<size_t>(copied));
    items.push_back(toUtf8(wide));
  }
  return true;
}

bool showDropDown(HWND combo, bool shown) {
  LRESULT result = 0;
  return send(combo, CB_SHOWDROPDOWN, shown ? TRUE : FALSE, 0, result);
}

int selectItem(HWND dialog, HWND combo, const std::string& name) {
  const std::wstring wide = fromUtf8(name);
  LRESULT index = CB_ERR;
  if (!send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
            reinterpret_cast<LPARAM>(wide.c_str()), index) ||
      index == CB_ERR)
    return -1;
  LRESULT result = 0;
  if (!send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, result)) return -1;
  const WPARAM command = MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELENDOK);
  if (!send(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo), result)) return -1;
  return static_cast<int>(index);
}

bool clickButton(HWND button) {
  LRESULT result = 0;
  return send(button, BM_CLICK, 0, 0, result);
}

bool pressKey(HWND dialog, WORD virtualKey) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  HWND target = dialog;
  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr) target = info.hwndFocus;
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  const LPARAM up = down | (1L << 30) | (1L << 31);
  return PostMessageW(target, WM_KEYDOWN, virtualKey, down) != 0 &&
         PostMessageW(target, WM_KEYUP, virtualKey, up) != 0;
}
