// Processor time used by the process that owns a window.
#pragma once

#include <windows.h>

// Kernel plus user time in milliseconds; false if it cannot be had.
bool processTimeMs(HWND window, double& milliseconds);

// The memory and handles of the process that owns a window.
struct ProcessMemory {
  unsigned long long workingSetBytes;
  unsigned long long privateBytes;
  unsigned long handles;
};

bool processMemory(HWND window, ProcessMemory& memory);
