#include "serial/windows_port_sources.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kFirstListSize = 65535;
// A list larger than this is not a device list.
constexpr size_t kLargestListSize = 64u * 1024u * 1024u;

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

bool isSpace(char c) { return c == ' ' || c == '\t'; }

// A name as a registry value may hold it: without spaces or NULs around it.
std::string_view stripped(std::string_view text) {
  while (!text.empty() && (isSpace(text.back()) || text.back() == '\0')) text.remove_suffix(1);
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  return text;
}

void addPort(std::vector<PortInfo>& ports, std::string_view candidate) {
  const std::string name(stripped(candidate));
  if (!isSerialPortName(name.c_str())) return;
  for (const PortInfo& port : ports)
    if (sameName(port.name, name)) return;
  PortInfo port;
  port.name = name;
  ports.push_back(port);
}

}  // namespace

bool isSerialPortName(const char* name) {
  if (name == nullptr) return false;
  // Only a name of four or more bytes has a first word to compare.
  for (size_t i = 0; i < 4; ++i)
    if (name[i] == '\0') return false;
  const uint32_t word = static_cast<uint32_t>(static_cast<uint8_t>(name[0])) |
                        static_cast<uint32_t>(static_cast<uint8_t>(name[1])) << 8 |
                        static_cast<uint32_t>(static_cast<uint8_t>(name[2])) << 16 |
                        static_cast<uint32_t>(static_cast<uint8_t>(name[3])) << 24;
  constexpr uint32_t kCom2 = 'C' | 'O' << 8 | 'M' << 16 | static_cast<uint32_t>('2') << 24;
  constexpr uint32_t kMask = 0xF0FFFFFFu;
  return (word & kMask) == (kCom2 & kMask);
}

uint32_t walkDeviceList(const char* list, size_t size, PortNameCallback callback,
                        void* context) {
  if (list == nullptr) return 0;
  uint32_t count = 0;
  size_t position = 0;
  while (position < size && list[position] != '\0') {
    const char* name = list + position;
    const void* end = std::memchr(name, '\0', size - position);
    // A name that runs past the list is not a name.
    if (end == nullptr) break;
    if (isSerialPortName(name)) {
      if (callback != nullptr) callback(context, name);
      ++count;
    }
    position = static_cast<size_t>(static_cast<const char*>(end) - list) + 1;
  }
  return count;
}

uint32_t queryDeviceList(DeviceListQuery query, void* queryContext, PortNameCallback callback,
                         void* context) {
  std::vector<char> list(kFirstListSize);
  for (;;) {
    bool tooSmall = false;
    const size_t length = query(queryContext, list.data(), list.size(), &tooSmall);
    if (length != 0) return walkDeviceList(list.data(), std::min(length, list.size()), callback,
                                           context);
    if (!tooSmall || list.size() >= kLargestListSize) return 0;
    list.resize(list.size() * 2);
  }
}

std::string trimmedDescription(std::string_view friendlyName, std::string_view portName) {
  std::string text;
  for (const char c : friendlyName)
    text.push_back(static_cast<uint8_t>(c) < 0x20 || c == 0x7F ? ' ' : c);
  std::string_view shown = stripped(text);
  std::string suffix = "(";
  suffix.append(portName).append(")");
  if (!portName.empty() && shown.size() >= suffix.size() &&
      sameName(shown.substr(shown.size() - suffix.size()), suffix)) {
    shown.remove_suffix(suffix.size());
    shown = stripped(shown);
  }
  return std::string(shown);
}

std::vector<PortInfo> mergePortSources(const PortSources& sources) {
  std::vector<PortInfo> ports;
  for (const std::string& name : sources.deviceNames) addPort(ports, name);
  for (const std::string& name : sources.registryNames) addPort(ports, name);
  std::stable_sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) {
    return naturalLess(a.name, b.name);
  });
  for (PortInfo& port : ports) {
    bool described = false;
    for (const FriendlyName& friendly : sources.friendlyNames) {
      if (!sameName(stripped(friendly.portName), port.name)) continue;
      // Any device of the port that is no plain serial port decides.
      if (friendly.device != PortDevice::kSerial) port.device = friendly.device;
      if (described) continue;
      port.description = trimmedDescription(friendly.text, port.name);
      described = !port.description.empty();
    }
  }
  return ports;
}
