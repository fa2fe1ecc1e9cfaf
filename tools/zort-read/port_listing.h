// zort-read --list: the serial ports found, with what the system knows of them.
#pragma once

#include <string>
#include <vector>

#include "serial/discovery.h"

// One line a port: as the dialog's list shows it (text), or a JSON object
// {"port": ..., "description": ..., "usb": ..., "by_id": ...} with null for
// what is not known (JSON Lines).
std::string formatPortList(const std::vector<PortInfo>& ports, bool json);

// Prints the ports of the machine; 0, or the no-port status code (1) with its
// text on stderr when there is none.
int listPorts(bool json);
