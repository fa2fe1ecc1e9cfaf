#include <unistd.h>

#include <array>

#include "os/host_name.h"

std::string hostName() {
  std::array<char, 256> name{};
  if (gethostname(name.data(), name.size() - 1) != 0) return "";
  return name.data();
}
