// The port listing's platform seam: one file per platform
// (discovery_posix.cpp, discovery_win32.cpp), apart from the port I/O of
// port_backend.h.
#pragma once

#include <vector>

#include "serial/discovery.h"

// Appends every serial port of the machine with what the system says of it,
// each once, in natural order.
void backendListPorts(std::vector<PortInfo>& ports);
