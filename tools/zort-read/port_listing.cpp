#include "tools/zort-read/port_listing.h"

#include <cstdio>

#include "os/console.h"
#include "protocol/status.h"
#include "text/cp1251.h"
#include "tools/zort-read/reader_output.h"

namespace {

std::string jsonOrNull(const std::string& text) { return text.empty() ? "null" : jsonString(text); }

}  // namespace

std::string formatPortList(const std::vector<PortInfo>& ports, bool json) {
  std::string lines;
  for (const PortInfo& port : ports) {
    if (json)
      lines += "{\"port\": " + jsonString(port.name) +
               ", \"description\": " + jsonOrNull(port.description) +
               ", \"usb\": " + jsonOrNull(port.usbId) + ", \"by_id\": " + jsonOrNull(port.byIdName) +
               "}";
    else
      lines += portEntryText(port);
    lines += "\n";
  }
  return lines;
}

int listPorts(bool json) {
  const std::vector<PortInfo> ports = listPortDetails();
  writeText(stdout, formatPortList(ports, json));
  std::fflush(stdout);
  if (!ports.empty()) return 0;
  printText(stderr, "zort-read: %s\n",
               programTextToUtf8(statusMessage(kStatusNoPortFound)).c_str());
  return static_cast<int>(kStatusNoPortFound);
}
