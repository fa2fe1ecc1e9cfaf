// The GUI tests' rig: a private X display (Xvfb) and, on it, the Wine rig of
// tests/wine with a prefix of its own; COM1 mapped to the line a test points
// it at, COM2 to something that cannot be opened as a port. Windows are
// framed by Wine itself, since the display has no window manager.
#pragma once

#include <string>
#include <vector>

#include "tests/gui/child_process.h"
#include "tests/gui/x_display.h"
#include "tests/wine/wine_rig.h"

struct GuiRig {
  // The Wine prefix's name under the Wine root; its locale is wine.locale.
  std::string prefixName = "gui";
  std::string directory;  // the runs' files
  XDisplay display;
  WineRig wine;
  std::vector<std::string> environment;  // the whole environment of every program of the rig
};

// The tools the rig needs that are not on this machine, "" when all are.
std::string missingRigTools();

// In the Wine prefix rig.prefixName: this program's alone (programs that run
// at the same time must not share one).
bool startGuiRig(GuiRig& rig, const std::string& directory, const std::string& wineRoot,
                 std::string& error);
void stopGuiRig(GuiRig& rig);

// The start of every program on the GUI rig (the GUI tests, the soak, the
// benchmark): checks the rig's tools and the programs it runs, then starts
// the rig in the build's Wine folder. 0 when it runs; otherwise the exit
// code to end with: cannotRun's (77, or 1 under CI) for a missing tool or
// program, 1 when the rig did not start (said on stdout).
int openGuiRig(GuiRig& rig, const std::string& directory, const std::string& prefixName,
               const std::vector<const char*>& programs, const char* what);

// Moves the X pointer to the screen's far corner, off every window. Resting
// on a control drawn in the desktop's visual style, it has Wine poll the
// pointer's position for the control's hot-tracking (Wine's TrackMouseEvent
// is a timer; Windows' is not): an idle program is measured without it.
bool movePointerToTheCorner(const GuiRig& rig, std::string& error);

// "wine program arguments..." in the rig's environment.
ChildSpec wineCommand(const GuiRig& rig, const std::vector<std::string>& arguments);
