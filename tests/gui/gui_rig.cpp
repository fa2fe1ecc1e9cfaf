#include "tests/gui/gui_rig.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace {

constexpr int kToolTimeoutMs = 60000;

bool installed(const std::string& tool) {
  ProcessOptions options;
  options.discardOutput = true;
  options.timeoutMs = kToolTimeoutMs;
  return runProcess({"sh", "-c", "command -v " + tool}, options).exitCode == 0;
}

}  // namespace

std::string missingRigTools() {
  std::string missing;
  std::string why;
  if (!wineFound(why)) missing = why;
  for (const char* tool : {"Xvfb", "xdotool", "import"})
    if (!installed(tool)) missing += std::string(missing.empty() ? "" : ", ") + tool;
  return missing;
}

bool startGuiRig(GuiRig& rig, const std::string& directory, const std::string& wineRoot,
                 std::string& error) {
  rig.directory = directory;
  mkdir(directory.c_str(), 0755);
  if (!startXDisplay(rig.display, changedEnvironment({}), directory + "/xvfb.log", error))
    return false;
  if (!prepareWineRig(rig.wine, wineRoot, rig.prefixName, {"DISPLAY=" + rig.display.name}, error) ||
      !mapComPorts(rig.wine, {"COM1", "COM2"}, error))
    return false;
  rig.environment = changedEnvironment(rig.wine.environment);
  // A folder: Wine cannot open it as a port (a link to nothing would fall
  // back to a default device).
  const std::string notALine = directory + "/not-a-line";
  mkdir(notALine.c_str(), 0755);
  if (!connectComPort(rig.wine, "COM2", notALine, error)) return false;
  const ProcessResult framed =
      runWineProgram(rig.wine, "reg",
                     {"add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"},
                     kToolTimeoutMs);
  if (framed.exitCode != 0) {
    error = "cannot set the X11 driver's Managed value: " + framed.err;
    return false;
  }
  return true;
}

int openGuiRig(GuiRig& rig, const std::string& directory, const std::string& prefixName,
               const std::vector<const char*>& programs, const char* what) {
  const std::string missing = withMissingPrograms(missingRigTools(), programs);
  if (!missing.empty()) return cannotRun(std::string(what) + " needs " + missing);
  std::string error;
  rig.prefixName = prefixName;
  if (!startGuiRig(rig, directory, ZORT_WINE_ROOT, error)) {
    std::printf("the GUI rig did not start: %s\n", error.c_str());
    stopGuiRig(rig);
    return 1;
  }
  return 0;
}

void stopGuiRig(GuiRig& rig) {
  stopWineRig(rig.wine);
  stopXDisplay(rig.display);
}

ChildSpec wineCommand(const GuiRig& rig, const std::vector<std::string>& arguments) {
  ChildSpec launch;
  launch.argv = {"wine"};
  launch.argv.insert(launch.argv.end(), arguments.begin(), arguments.end());
  launch.environment = rig.environment;
  return launch;
}

bool movePointerToTheCorner(const GuiRig& rig, std::string& error) {
  ChildSpec geometry;
  geometry.argv = {"xdotool", "getdisplaygeometry"};
  geometry.environment = rig.environment;
  geometry.stdoutPath = rig.directory + "/display-geometry.out";
  if (runChild(geometry, 20000, error) != 0) return false;
  int width = 0, height = 0;
  if (std::sscanf(readWholeFile(geometry.stdoutPath).c_str(), "%d %d", &width, &height) != 2) {
    error = "xdotool getdisplaygeometry: no size";
    return false;
  }
  ChildSpec move;
  move.argv = {"xdotool", "mousemove", "--sync", std::to_string(width - 1),
               std::to_string(height - 1)};
  move.environment = rig.environment;
  return runChild(move, 20000, error) == 0;
}
