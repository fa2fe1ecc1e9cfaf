#include <cstdio>

#include "os/terminal_display.h"

bool terminalShowsEscapes() { return true; }

void writeDisplay(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}
