// The one seam a terminal display (zort-read --watch) writes through: the
// terminal on standard error. One file per platform.
#pragma once

#include <string_view>

// Whether the terminal takes the display's escape codes (a Windows console
// is asked to take them); true on POSIX.
bool terminalShowsEscapes();

// The display's bytes (UTF-8), at once.
void writeDisplay(std::string_view bytes);
