#include "serial/discovery.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "serial/port_backend.h"

namespace {

constexpr size_t kFirstListSize = 65535;
// A list larger than this is not a device list.
constexpr size_t kLargestListSize = 64u * 1024u * 1024u;

}  // namespace

uint32_t enumeratePorts(PortNameCallback callback, void* context) {
  return backendListPorts(callback, context);
}

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
