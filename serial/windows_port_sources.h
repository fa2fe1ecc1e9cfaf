// What Windows says of its serial ports, and how it is put together: the
// COM names among the DOS device names, the values under SERIALCOMM and the
// devices' friendly names. Plain data and text work, built on every platform
// so that its tests run natively; discovery_win32.cpp asks Windows for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "serial/discovery.h"

// "COM" followed by a byte whose high four bits are 0x3: a digit, or one of
// ":;<=>?". The first four bytes are compared as one little-endian word with
// "COM2" under the mask 0xF0FFFFFF, which ignores the low four bits of the
// fourth byte; so "COM:" passes too, as it always has (the system lists
// none such, and a name that passes is only offered, never made up).
bool isSerialPortName(const char* name);

// Walks a device list (NUL-terminated names, ended by an empty name, within
// size bytes) and reports the serial port names.
uint32_t walkDeviceList(const char* list, size_t size, PortNameCallback callback, void* context);

// One query of the system's device list into buffer (size bytes): the number
// of bytes filled, or 0 with *tooSmall telling whether more room would help.
using DeviceListQuery = size_t (*)(void* context, char* buffer, size_t size, bool* tooSmall);

// Asks with 65535 bytes first and, while the list does not fit, again with
// twice the room (a machine with many devices has a longer list; without a
// second try it would look as if it had no port), then walks the list.
uint32_t queryDeviceList(DeviceListQuery query, void* queryContext, PortNameCallback callback,
                         void* context);

// A device's friendly name as the system gives it, with the port it serves.
struct FriendlyName {
  std::string portName;  // "COM7"
  std::string text;      // "USB-SERIAL CH340 (COM7)", UTF-8; may be empty
  PortDevice device = PortDevice::kSerial;
};

// What Windows says about its serial ports, from its three sources.
struct PortSources {
  std::vector<std::string> deviceNames;    // the COM names among the DOS device names
  std::vector<std::string> registryNames;  // the values under SERIALCOMM
  std::vector<FriendlyName> friendlyNames; // Ports and Modem devices
};

// The ports of both name sources that pass isSerialPortName, each once
// (names compare without regard to case; the first spelling stays), in
// natural order, each with its device's friendly name trimmed and its kind.
std::vector<PortInfo> mergePortSources(const PortSources& sources);

// A friendly name as a description: without the trailing " (COM7)" of its
// own port, without control characters and surrounding spaces.
std::string trimmedDescription(std::string_view friendlyName, std::string_view portName);
