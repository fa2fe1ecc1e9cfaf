#include "tests/gui/driver/device_events.h"

#include <dbt.h>

namespace {

constexpr const wchar_t* kSerialComm = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr UINT kAnswerTimeoutMs = 5000;

std::wstring ascii(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring valueName(const std::string& name) { return L"\\Device\\ZortTest" + ascii(name); }

constexpr const wchar_t* kPortsClass = L"{4D36E978-E325-11CE-BFC1-08002BE10318}";
constexpr const wchar_t* kModemClass = L"{4D36E96D-E325-11CE-BFC1-08002BE10318}";

std::wstring deviceKey(const std::string& name, const std::string& enumerator) {
  return L"System\\CurrentControlSet\\Enum\\" + ascii(enumerator) + L"\\ZORTTEST_" + ascii(name);
}

std::wstring fromUtf8(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         wide.data(), static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return wide;
}

bool setText(HKEY key, const wchar_t* value, const std::wstring& data) {
  return RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool createKey(const std::wstring& path, HKEY* key) {
  return RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_SET_VALUE, nullptr, key, nullptr) == ERROR_SUCCESS;
}

}  // namespace

bool addDeviceEntry(const std::string& name, const std::string& enumerator, bool modem,
                    const std::string& friendlyName) {
  const std::wstring instance = deviceKey(name, enumerator) + L"\\0000";
  HKEY key = nullptr;
  if (!createKey(instance, &key)) return false;
  bool done = setText(key, L"ClassGUID", modem ? kModemClass : kPortsClass) &&
              setText(key, L"Class", modem ? L"Modem" : L"Ports") &&
              setText(key, L"FriendlyName", fromUtf8(friendlyName));
  RegCloseKey(key);
  if (!done || !createKey(instance + L"\\Device Parameters", &key)) return false;
  done = setText(key, L"PortName", ascii(name));
  RegCloseKey(key);
  return done;
}

bool removeDeviceEntry(const std::string& name, const std::string& enumerator) {
  const LONG result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, deviceKey(name, enumerator).c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

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
