// What the driver does to stand for a device plugged in or pulled out while
// the dialog runs: the port's value under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM
// (the test links the port's device itself) and Windows' announcement.
#pragma once

#include <windows.h>

#include <string>

// Adds (or replaces) the value "\Device\ZortTest<NAME>" = NAME; false on failure.
bool addSerialCommPort(const std::string& name);
// Removes that value; true also when there was none.
bool removeSerialCommPort(const std::string& name);

// A device entry as Windows' device manager records one: under
// HKLM\System\CurrentControlSet\Enum\<ENUMERATOR>\ZORTTEST_<NAME>\0000, of
// the Ports class (or the Modem class when modem), with its friendly name
// (UTF-8) and its port name under "Device Parameters". SetupAPI lists it.
bool addDeviceEntry(const std::string& name, const std::string& enumerator, bool modem,
                    const std::string& friendlyName);
// Removes that entry; true also when there was none.
bool removeDeviceEntry(const std::string& name, const std::string& enumerator);

// WM_DEVICECHANGE with this event (DBT_...) to every top-level window.
bool broadcastDeviceChange(WPARAM event);
