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
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "serial/discovery_posix.h"
#include "serial/discovery_backend.h"

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
bool hasUart(const std::string& devRoot, const std::string& sysRoot, const std::string& name) {
  const std::string path = devRoot + "/" + name;
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    serial_struct info{};
    const bool known = ioctl(fd, TIOCGSERIAL, &info) == 0;
    close(fd);
    if (known) return info.type != PORT_UNKNOWN;
  }
  struct stat device{};
  return stat((sysRoot + "/class/tty/" + name + "/device").c_str(), &device) == 0;
}

// Bytes that are no UTF-8, and control characters, become '?'.
std::string printableUtf8(std::string_view bytes) {
  std::string text;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<uint8_t>(bytes[i]);
    const size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 && lead >= 0xC2 ? 2
                          : (lead & 0xF0) == 0xE0                   ? 3
                          : (lead & 0xF8) == 0xF0 && lead <= 0xF4   ? 4
                                                                    : 0;
    bool valid = length != 0 && i + length <= bytes.size();
    for (size_t k = 1; valid && k < length; ++k)
      valid = (static_cast<uint8_t>(bytes[i + k]) & 0xC0) == 0x80;
    if (!valid || (length == 1 && (lead < 0x20 || lead == 0x7F))) {
      text.push_back('?');
      ++i;
      continue;
    }
    text.append(bytes.substr(i, length));
    i += length;
  }
  return text;
}

// A sysfs attribute's one line, "" when there is none.
std::string attribute(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::array<char, 256> buffer{};
  const ssize_t length = read(fd, buffer.data(), buffer.size());
  close(fd);
  if (length <= 0) return {};
  std::string_view text(buffer.data(), static_cast<size_t>(length));
  text = text.substr(0, text.find('\n'));
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return printableUtf8(text);
}

std::string realPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string result = resolved;
  std::free(resolved);
  return result;
}

// The USB device above the tty's device in sysfs (the first folder upwards
// with an idVendor), for a port on a USB adapter.
void describeUsb(const std::string& sysRoot, const std::string& name, PortInfo& port) {
  const std::string top = realPath(sysRoot);
  std::string folder = realPath(sysRoot + "/class/tty/" + name + "/device");
  if (top.empty()) return;
  while (folder.size() > top.size() && folder.compare(0, top.size(), top) == 0) {
    const std::string vendor = attribute(folder + "/idVendor");
    if (!vendor.empty()) {
      port.usbId = vendor + ":" + attribute(folder + "/idProduct");
      port.description = attribute(folder + "/product");
      return;
    }
    folder.erase(folder.rfind('/'));
  }
}

// The first (by name) link in devRoot/serial/by-id that points at the port.
void findById(const std::string& devRoot, const std::string& name, PortInfo& port) {
  const std::string folder = devRoot + "/serial/by-id";
  DIR* directory = opendir(folder.c_str());
  if (directory == nullptr) return;
  std::string found;
  while (const dirent* item = readdir(directory)) {
    const std::string link = item->d_name;
    if (link == "." || link == "..") continue;
    std::array<char, 4096> target{};
    const ssize_t length =
        readlink((folder + "/" + link).c_str(), target.data(), target.size() - 1);
    if (length <= 0) continue;
    const std::string_view path(target.data(), static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    const std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (base == name && (found.empty() || link < found)) found = link;
  }
  closedir(directory);
  port.byIdName = printableUtf8(found);
}

}  // namespace

void listPortsUnder(const std::string& devRoot, const std::string& sysRoot,
                    std::vector<PortInfo>& ports) {
  DIR* directory = opendir(devRoot.c_str());
  if (directory == nullptr) return;
  std::vector<PortEntry> found;
  while (const dirent* item = readdir(directory)) {
    PortEntry entry;
    if (!classify(item->d_name, &entry)) continue;
    if (entry.family == 0 && !hasUart(devRoot, sysRoot, entry.name)) continue;
    found.push_back(std::move(entry));
  }
  closedir(directory);
  std::sort(found.begin(), found.end(), [](const PortEntry& a, const PortEntry& b) {
    return a.family != b.family ? a.family < b.family : a.number < b.number;
  });
  for (const auto& entry : found) {
    PortInfo port{devRoot + "/" + entry.name, {}, {}, {}};
    describeUsb(sysRoot, entry.name, port);
    findById(devRoot, entry.name, port);
    ports.push_back(std::move(port));
  }
}

void backendListPorts(std::vector<PortInfo>& ports) { listPortsUnder("/dev", "/sys", ports); }
