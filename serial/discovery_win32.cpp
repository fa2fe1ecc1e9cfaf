// The serial ports Windows knows: the COM names among its DOS device names
// and the values under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM (where Windows
// records every serial port, a USB adapter's plugged in after the device
// names were taken included), described by the friendly names of the devices
// of the Ports and Modem classes.
#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <array>
#include <cwctype>
#include <string>
#include <string_view>
#include <vector>

#include "serial/discovery_backend.h"
#include "serial/windows_port_sources.h"
#include "text/wide_text.h"

namespace {

// The device setup classes whose devices serve COM ports.
constexpr GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr GUID kModemClass = {0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// Room for a registry value's name and a port name or friendly name; longer
// ones are no port's.
constexpr DWORD kTextRoom = 512;

size_t queryDosDevices(void*, char* buffer, size_t size, bool* tooSmall) {
  const DWORD room = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
  const DWORD length = QueryDosDeviceA(nullptr, buffer, room);
  // Windows says either when the list does not fit.
  const DWORD error = length == 0 ? GetLastError() : ERROR_SUCCESS;
  *tooSmall = error == ERROR_INSUFFICIENT_BUFFER || error == ERROR_MORE_DATA;
  return length;
}

void addDeviceName(void* context, const char* name) {
  static_cast<std::vector<std::string>*>(context)->push_back(name);
}

// A string value's text, "" when it is none or does not fit.
std::string stringData(DWORD type, const std::array<wchar_t, kTextRoom>& data, DWORD bytes) {
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  const size_t count = std::min<size_t>(bytes / sizeof(wchar_t), data.size());
  std::wstring_view text(data.data(), count);
  const size_t end = text.find(L'\0');
  return fromWide(CP_UTF8, text.substr(0, end));
}

void addSerialCommValues(std::vector<std::string>& names) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS)
    return;
  for (DWORD index = 0;; ++index) {
    std::array<wchar_t, kTextRoom> valueName{};
    std::array<wchar_t, kTextRoom> data{};
    DWORD nameLength = static_cast<DWORD>(valueName.size());
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    const LONG result = RegEnumValueW(key, index, valueName.data(), &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &bytes);
    if (result == ERROR_MORE_DATA) continue;  // a value too long for a port name
    if (result != ERROR_SUCCESS) break;        // the end, or a key gone meanwhile
    const std::string name = stringData(type, data, bytes);
    if (!name.empty()) names.push_back(name);
  }
  RegCloseKey(key);
}

// The PortName value of the device's own key ("COM7").
std::string devicePortName(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
  if (key == INVALID_HANDLE_VALUE) return {};
  std::array<wchar_t, kTextRoom> data{};
  DWORD type = 0;
  DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  const LONG result = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                       reinterpret_cast<BYTE*>(data.data()), &bytes);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? stringData(type, data, bytes) : std::string();
}

// A device that the Bluetooth stack enumerates: its instance ID begins with
// "BTHENUM\".
bool isBluetoothDevice(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  std::array<wchar_t, kTextRoom> id{};
  if (!SetupDiGetDeviceInstanceIdW(devices, &device, id.data(), static_cast<DWORD>(id.size()),
                                   nullptr))
    return false;
  constexpr std::wstring_view kBluetoothEnumerator = L"BTHENUM\\";
  const std::wstring_view text(id.data());
  if (text.size() < kBluetoothEnumerator.size()) return false;
  for (size_t i = 0; i < kBluetoothEnumerator.size(); ++i)
    if (towupper(text[i]) != kBluetoothEnumerator[i]) return false;
  return true;
}

// The devices of a class; every device of the Modem class is a modem.
void addFriendlyNames(const GUID& deviceClass, bool modems, std::vector<FriendlyName>& names) {
  HDEVINFO devices = SetupDiGetClassDevsW(&deviceClass, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    const std::string port = devicePortName(devices, device);
    if (port.empty()) continue;
    std::array<wchar_t, kTextRoom> data{};
    DWORD type = 0;
    DWORD bytes = 0;
    // A device without a friendly name still tells what kind it is.
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, &type,
                                           reinterpret_cast<BYTE*>(data.data()),
                                           static_cast<DWORD>(data.size() * sizeof(wchar_t)),
                                           &bytes))
      type = REG_NONE;
    PortDevice kind = PortDevice::kSerial;
    if (modems)
      kind = PortDevice::kModem;
    else if (isBluetoothDevice(devices, device))
      kind = PortDevice::kBluetooth;
    names.push_back(FriendlyName{port, stringData(type, data, bytes), kind});
  }
  SetupDiDestroyDeviceInfoList(devices);
}

}  // namespace

void backendListPorts(std::vector<PortInfo>& ports) {
  PortSources sources;
  queryDeviceList(queryDosDevices, nullptr, addDeviceName, &sources.deviceNames);
  addSerialCommValues(sources.registryNames);
  addFriendlyNames(kPortsClass, false, sources.friendlyNames);
  addFriendlyNames(kModemClass, true, sources.friendlyNames);
  const std::vector<PortInfo> merged = mergePortSources(sources);
  ports.insert(ports.end(), merged.begin(), merged.end());
}
