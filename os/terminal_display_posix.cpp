#include <cstdio>

#include "os/console.h"
#include "os/terminal_display.h"

bool terminalShowsEscapes() { return true; }

void writeDisplay(std::string_view bytes) { writeText(stderr, bytes); }
