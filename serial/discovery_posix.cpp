// The serial ports of a Linux machine: the devices under /dev that stand for
// a real serial line.
#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "serial/port_backend.h"

namespace {

// In the order they are listed.
constexpr std::array<std::string_view, 3> kFamilies = {"ttyS", "ttyUSB", "ttyACM"};

struct PortEntry {
  size_t family;
  unsigned long number;
  std::string name;
};

// "ttyUSB3" → family 1, number 3; false for any other name.
bool classify(std::string_view name, PortEntry* entry) {
  for (size_t family = 0; family < kFamilies.size(); ++family) {
    const auto prefix = kFamilies[family];
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
    const auto digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    *entry = {family, std::strtoul(std::string(digits).c_str(), nullptr, 10), std::string(name)};
    return true;
  }
  return false;
}

// The kernel creates every legacy ttyS node whether a UART is there or not.
bool hasUart(const std::string& name) {
  const std::string path = "/dev/" + name;
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    serial_struct info{};
    const bool known = ioctl(fd, TIOCGSERIAL, &info) == 0;
    close(fd);
    if (known) return info.type != PORT_UNKNOWN;
  }
  struct stat device{};
  return stat(("/sys/class/tty/" + name + "/device").c_str(), &device) == 0;
}

}  // namespace

uint32_t backendListPorts(PortNameCallback callback, void* context) {
  DIR* directory = opendir("/dev");
  if (directory == nullptr) return 0;
  std::vector<PortEntry> ports;
  while (const dirent* item = readdir(directory)) {
    PortEntry entry;
    if (!classify(item->d_name, &entry)) continue;
    if (entry.family == 0 && !hasUart(entry.name)) continue;
    ports.push_back(std::move(entry));
  }
  closedir(directory);
  std::sort(ports.begin(), ports.end(), [](const PortEntry& a, const PortEntry& b) {
    return a.family != b.family ? a.family < b.family : a.number < b.number;
  });
  for (const auto& port : ports) {
    const std::string path = "/dev/" + port.name;
    if (callback != nullptr) callback(context, path.c_str());
  }
  return static_cast<uint32_t>(ports.size());
}
