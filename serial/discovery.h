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
