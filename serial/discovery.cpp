#include "serial/discovery.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "serial/discovery_backend.h"

namespace {

// Between a port's name and what is known of it in a list entry.
constexpr std::string_view kEntrySeparator = "  ";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::vector<PortInfo> listPortDetails() {
  std::vector<PortInfo> ports;
  backendListPorts(ports);
  return ports;
}

uint32_t enumeratePorts(PortNameCallback callback, void* context) {
  const std::vector<PortInfo> ports = listPortDetails();
  if (callback != nullptr)
    for (const PortInfo& port : ports) callback(context, port.name.c_str());
  return static_cast<uint32_t>(ports.size());
}

std::string portEntryText(const PortInfo& port) {
  std::string known = port.usbId;
  if (!port.description.empty()) {
    if (!known.empty()) known.push_back(' ');
    known.append(port.description);
  }
  if (!port.byIdName.empty()) {
    if (!known.empty()) known.append(kEntrySeparator);
    known.append("(").append(port.byIdName).append(")");
  }
  if (known.empty()) return port.name;
  std::string entry = port.name;
  entry.append(kEntrySeparator).append(known);
  return entry;
}

std::string_view portNameOfEntry(std::string_view entry) {
  return entry.substr(0, entry.find(kEntrySeparator));
}

bool naturalLess(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      // Leading zeros do not count; then the longer run is the larger number.
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      size_t endA = i;
      size_t endB = j;
      while (endA < a.size() && isDigit(a[endA])) ++endA;
      while (endB < b.size() && isDigit(b[endB])) ++endB;
      const std::string_view runA = a.substr(i, endA - i);
      const std::string_view runB = b.substr(j, endB - j);
      if (runA.size() != runB.size()) return runA.size() < runB.size();
      if (runA != runB) return runA < runB;
      i = endA;
      j = endB;
      continue;
    }
    if (a[i] != b[j]) return static_cast<uint8_t>(a[i]) < static_cast<uint8_t>(b[j]);
    ++i;
    ++j;
  }
  if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
  // Equal as numbers ("COM01", "COM1"): the bytes decide, so the order is total.
  return a < b;
}

bool isReadWithAllPorts(const PortInfo& port) { return port.device == PortDevice::kSerial; }
