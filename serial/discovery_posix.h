// The Linux port listing under given roots, so that a test can hand it a
// made-up /dev and /sys.
#pragma once

#include <string>
#include <vector>

#include "serial/discovery.h"

// The serial devices under devRoot ("/dev"), described from sysRoot
// ("/sys": the tty's USB device's idVendor, idProduct and product) and
// devRoot/serial/by-id; appended to ports in natural order.
void listPortsUnder(const std::string& devRoot, const std::string& sysRoot,
                    std::vector<PortInfo>& ports);
