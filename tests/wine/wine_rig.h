// The Wine rig: runs this project's Windows programs under Wine for native
// tests, in a private WINEPREFIX under the build folder, with COM ports
// mapped to pseudo-terminals (zort-sim's lines). Library zort_wine_rig.
//
// Use from a test program (link zort_wine_rig; add the folder once with
//   if(NOT TARGET zort_wine_rig)
//     add_subdirectory(${CMAKE_SOURCE_DIR}/tests/wine ${CMAKE_BINARY_DIR}/tests/wine)
//   endif()):
//
//   std::string why;
//   if (!wineFound(why)) -> skip, printing why (exit 77 with SKIP_RETURN_CODE 77)
//   WineRig rig;
//   std::string error;
//   // Once per test program. The first time for a prefix name it creates
//   // and initialises the prefix (about 15 s); later only starts Wine's
//   // server and its services (about 2 s), with their output to /dev/null.
//   // Give DISPLAY=... in extraEnvironment for GUI programs, so Wine's
//   // desktop starts on that display.
//   prepareWineRig(rig, CMAKE_BINARY_DIR "/wine", "reader", {}, error);
//   // Once: maps the COM ports, each to a link file of its own in
//   // rig.portsDirectory, in HKLM\Software\Wine\Ports (then restarts the
//   // server, only if the mapping changed).
//   mapComPorts(rig, {"COM5", "COM12"}, error);
//   // Per test: points COM5 at a line, e.g. the pty of a zort-sim just
//   // started; the next program that opens COM5 gets that line.
//   connectComPort(rig, "COM5", sim.linePath, error);
//   ProcessResult r = runWineProgram(rig, exe, {"--json", "COM5"}, 60000);
//   // Or in the background (a GUI program); stop it with waitProcess or kill:
//   pid_t pid = startWineProgram(rig, exe, {});
//   // At the end of the test program: ends Wine's server and services.
//   stopWineRig(rig);
//
// Each test program should use a prefix name of its own: the mapping and the
// server's life belong to one prefix.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/process_run.h"

constexpr const char* kRussianLocale = "ru_RU.UTF-8";  // ANSI code page 1251
constexpr const char* kWesternLocale = "en_US.UTF-8";  // ANSI code page 1252

struct WineRig {
  // LANG of every program of the rig, which gives Wine its ANSI code page;
  // set before prepareWineRig. Give each locale a prefix name of its own:
  // a prefix's server and registry settings belong to one locale.
  std::string locale = kRussianLocale;
  std::string prefix;               // the WINEPREFIX
  std::string portsDirectory;       // the link files the COM ports are mapped to
  std::vector<std::string> environment;  // for every Wine program of the rig
};

// true when a wine and a wineserver are on PATH; otherwise why says what
// is missing.
bool wineFound(std::string& why);

// Creates <root>/<name> as a WINEPREFIX on first use (under a lock), with
// LANG=rig.locale, then starts a persistent server
// and runs one program with its output to /dev/null, so that Wine's services
// never hold a test's pipes.
bool prepareWineRig(WineRig& rig, const std::string& root, const std::string& name,
                    const std::vector<std::string>& extraEnvironment, std::string& error);

// Maps each COM name ("COM5") to the link file comPortLink(rig, name) in
// HKLM\Software\Wine\Ports. Restarts the server when the mapping changed;
// checks that Wine made the devices.
bool mapComPorts(WineRig& rig, const std::vector<std::string>& comNames, std::string& error);

// The same for explicit targets: {"COM5", "/dev/pts/3"}, ... .
bool mapComPortsTo(WineRig& rig, const std::vector<std::pair<std::string, std::string>>& targets,
                   std::string& error);

std::string comPortLink(const WineRig& rig, const std::string& comName);

// Points a port mapped with mapComPorts at a line; no restart needed.
bool connectComPort(const WineRig& rig, const std::string& comName, const std::string& linePath,
                    std::string& error);

// Runs a Windows program under the rig's Wine, output captured.
ProcessResult runWineProgram(const WineRig& rig, const std::string& program,
                             const std::vector<std::string>& arguments, int timeoutMs,
                             const std::string& workingDirectory = "");

// Starts one in the background, its output to /dev/null; -1 on failure.
pid_t startWineProgram(const WineRig& rig, const std::string& program,
                       const std::vector<std::string>& arguments);

// Ends the rig's server and every Wine process of its prefix.
void stopWineRig(const WineRig& rig);

// "/a/b" as Wine shows it to a program: "Z:\a\b".
std::string windowsPath(const std::string& unixPath);

// A test program that cannot run here (no Wine, no display, no .exe):
// locally it prints "SKIPPED: why" and gives kCannotRunSkipCode, which CTest
// counts as skipped; under CI (CI=true) it prints "FAILED: why" and gives 1,
// so that a machine that lost a tool never reports every test passed.
constexpr int kCannotRunSkipCode = 77;
bool runningUnderCi();
int cannotRun(const std::string& why);

// why with the programs (paths) that are not there added; "" when all are.
std::string withMissingPrograms(std::string why, const std::vector<const char*>& programs);
