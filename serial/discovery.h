// Finding the serial ports the system knows.
#pragma once

#include <cstddef>
#include <cstdint>

// The name lives only during the call.
using PortNameCallback = void (*)(void* context, const char* name);

// Reports every serial port in the order the system lists it; returns the
// number reported. Windows: the COM devices of QueryDosDeviceA. Linux: the
// serial devices under /dev.
uint32_t enumeratePorts(PortNameCallback callback, void* context);

// "COM" followed by a byte whose high four bits are 0x3.
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
