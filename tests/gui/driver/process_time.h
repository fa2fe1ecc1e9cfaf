// Processor time used by the process that owns a window.
#pragma once

#include <windows.h>

// Kernel plus user time in milliseconds; false if it cannot be had.
bool processTimeMs(HWND window, double& milliseconds);
