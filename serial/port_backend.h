// What each platform supplies to the port layer: one file per platform
// (port_win32.cpp, port_posix.cpp), chosen by the build.
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/status.h"

// A Win32 HANDLE or a POSIX file descriptor.
using PortHandle = intptr_t;
constexpr PortHandle kNoPort = -1;
