#include <windows.h>

#include <cstdio>

#include "os/console.h"
#include "os/terminal_display.h"

bool terminalShowsEscapes() {
  const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(console, &mode)) return false;
  return SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != FALSE;
}

// Through the console writer: WriteConsoleW on a console, which takes the
// escape codes once the console has been asked to.
void writeDisplay(std::string_view bytes) { writeText(stderr, bytes); }
