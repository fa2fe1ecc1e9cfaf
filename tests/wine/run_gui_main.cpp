// zort-run-gui EXE [DEVICE] (scripts/run --gui): a Windows program, the
// dialog, under Wine on the user's display, its COM1 wired to DEVICE or to
// the simulated instrument (zort-sim on a pseudo-terminal). The prefix, the
// port mapping and the locale are the test rig's own (wine_rig.h), in the
// prefix "run" under the build's wine folder. Every failure ends it with a
// message on standard error and exit code 1; otherwise the program's exit
// code.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/sim_process.h"
#include "tests/wine/wine_rig.h"

namespace {

std::atomic<bool> gStopRequested{false};

void requestStop(int) { gStopRequested.store(true); }

int fail(const std::string& what) {
  std::fprintf(stderr, "run: %s\n", what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) return fail("usage: zort-run-gui EXE [DEVICE]");
  const std::string exe = argv[1];
  std::string device = argc == 3 ? argv[2] : "";
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return fail("--gui needs a display (DISPLAY is not set)");
  std::string error;
  if (!wineFound(error)) return fail(error);

  std::fprintf(stderr, "run: preparing the Wine prefix (the first time about 15 s)\n");
  WineRig rig;
  if (!prepareWineRig(rig, ZORT_WINE_ROOT, "run", {std::string("DISPLAY=") + display}, error) ||
      !mapComPorts(rig, {"COM1"}, error)) {
    stopWineRig(rig);
    return fail(error);
  }
  SimProcess sim;
  if (device.empty()) {
    if (!startSim(sim, {}, error)) {
      stopWineRig(rig);
      return fail("zort-sim did not start: " + error);
    }
    device = sim.linePath;
  }
  if (!connectComPort(rig, "COM1", device, error)) {
    if (sim.pid > 0) stopSim(sim);
    stopWineRig(rig);
    return fail(error);
  }
  std::fprintf(stderr, "run: %s with COM1 on %s; choose COM1 in its list\n", exe.c_str(),
               device.c_str());
  SpawnSpec spec;
  spec.argv = {"wine", exe};
  spec.environment = changedEnvironment(rig.environment);
  spec.stdinFd = 0;
  spec.stdoutFd = 1;
  spec.stderrFd = 2;
  const pid_t pid = spawnProcess(spec, error);
  // Ctrl-C or a SIGTERM ends the dialog too, and the simulator and Wine's
  // server with it.
  struct sigaction stop {};
  stop.sa_handler = requestStop;
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);
  int code = 1;
  if (pid < 0) {
    fail(error);
  } else {
    while ((code = waitExit(pid, 200)) == -2 && !gStopRequested.load()) {
    }
    if (code == -2) code = stopProcess(pid, 5000);
  }
  if (sim.pid > 0) stopSim(sim);
  stopWineRig(rig);
  return code < 0 ? 1 : code;
}
