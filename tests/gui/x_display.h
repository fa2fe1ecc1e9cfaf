// A private X server (Xvfb) on a free display, for the Windows programs
// under Wine.
#pragma once

#include <string>
#include <vector>

#include "tests/gui/child_process.h"

struct XDisplay {
  Child server;
  std::string name;  // ":N"
};

// Xvfb picks the display itself (-displayfd) and accepts no TCP clients.
bool startXDisplay(XDisplay& display, const std::vector<std::string>& environment,
                   const std::string& logPath, std::string& error);
void stopXDisplay(XDisplay& display);
