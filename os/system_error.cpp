#include "os/system_error.h"

#include <array>

std::string systemErrorText(SystemErrorCode code) {
  std::array<char, 256> text{};
  systemErrorText(code, text.data(), text.size());
  return text.data();
}
