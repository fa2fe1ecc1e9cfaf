#include "tests/gui/driver/device_events.h"

#include <dbt.h>

namespace {

constexpr const wchar_t* kSerialComm = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr UINT kAnswerTimeoutMs = 5000;

std::wstring ascii(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring valueName(const std::string& name) { return L"\\Device\\ZortTest" + ascii(name); }

}  // namespace

bool addSerialCommPort(const std::string& name) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSerialComm, 0, nullptr, REG_OPTION_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring data = ascii(name);
  const LONG result =
      RegSetValueExW(key, valueName(name).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

bool removeSerialCommPort(const std::string& name) {
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_SET_VALUE, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (opened != ERROR_SUCCESS) return false;
  const LONG result = RegDeleteValueW(key, valueName(name).c_str());
  RegCloseKey(key);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool broadcastDeviceChange(WPARAM event) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, event, 0, SMTO_ABORTIFHUNG,
                             kAnswerTimeoutMs, &answer) != 0;
}
