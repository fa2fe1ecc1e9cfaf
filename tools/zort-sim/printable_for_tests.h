// Test names: case texts with every byte outside printable ASCII escaped.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

inline std::string printable(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown.push_back(c);
    } else {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    }
  }
  return shown;
}
