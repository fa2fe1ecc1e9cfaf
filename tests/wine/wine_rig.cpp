#include "tests/wine/wine_rig.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/files.h"

namespace {

constexpr int kBootTimeoutMs = 240000;
constexpr int kToolTimeoutMs = 60000;
constexpr const char* kReadyMarker = "/.zort-ready";
constexpr const char* kPortsMarker = "/.zort-ports";
constexpr const char* kTemplatePrefix = "template";

bool onPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':'))
    if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

bool exists(const std::string& path) {
  struct stat info{};
  return stat(path.c_str(), &info) == 0;
}

bool makeDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

// Serialises the setup of one prefix between test programs run at once.
struct PrefixLock {
  int fd;
};

PrefixLock lockPrefix(const WineRig& rig) {
  const int fd = open((rig.prefix + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd >= 0) flock(fd, LOCK_EX);
  return {fd};
}

void unlock(PrefixLock& lock) {
  if (lock.fd >= 0) close(lock.fd);
  lock.fd = -1;
}

ProcessResult runTool(const WineRig& rig, const std::vector<std::string>& arguments,
                      int timeoutMs = kToolTimeoutMs) {
  ProcessOptions options;
  options.environment = rig.environment;
  options.timeoutMs = timeoutMs;
  options.discardOutput = true;
  return runProcess(arguments, options);
}

// A persistent server, and one program run with its output to /dev/null:
// the services it starts inherit that, not a test's pipes.
bool startServer(const WineRig& rig, std::string& error) {
  runTool(rig, {"wineserver", "-p"});
  if (runTool(rig, {"wine", "cmd", "/c", "exit"}).exitCode != 0) {
    error = "Wine did not run a first program in " + rig.prefix;
    return false;
  }
  return true;
}

bool bootPrefix(const WineRig& rig, std::string& error) {
  runTool(rig, {"wineboot", "-i"}, kBootTimeoutMs);
  runTool(rig, {"wineserver", "-w"}, kBootTimeoutMs);
  if (!exists(rig.prefix + "/system.reg")) {
    error = "wineboot did not create the prefix " + rig.prefix;
    return false;
  }
  return writeWholeFile(rig.prefix + kReadyMarker, "");
}

// Every prefix starts as a copy of one booted once (wineboot costs some 15 s
// of processor time, a copy a fraction of a second); the copy is made under
// the template's lock, so programs started at once boot it only once.
bool initialisePrefix(const WineRig& rig, const std::string& root, std::string& error) {
  if (exists(rig.prefix + kReadyMarker)) return true;
  WineRig base = rig;
  base.prefix = root + "/" + kTemplatePrefix;
  for (auto& variable : base.environment)
    if (variable.rfind("WINEPREFIX=", 0) == 0) variable = "WINEPREFIX=" + base.prefix;
  PrefixLock lock = lockPrefix(base);
  bool ready = exists(base.prefix + kReadyMarker) || bootPrefix(base, error);
  if (ready) {
    ProcessOptions options;
    options.timeoutMs = kToolTimeoutMs;
    runProcess({"rm", "-rf", rig.prefix}, options);
    ready = runProcess({"cp", "-a", base.prefix, rig.prefix}, options).exitCode == 0 &&
            exists(rig.prefix + kReadyMarker);
    if (!ready) error = "cannot copy " + base.prefix + " to " + rig.prefix;
  }
  unlock(lock);
  return ready;
}

std::string regString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') quoted.push_back('\\');
    quoted.push_back(c);
  }
  return quoted + "\"";
}

std::string lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string linkTarget(const std::string& path) {
  std::array<char, 4096> target{};
  const ssize_t length = readlink(path.c_str(), target.data(), target.size() - 1);
  return length > 0 ? std::string(target.data(), static_cast<size_t>(length)) : std::string();
}

bool devicesMapped(const WineRig& rig,
                   const std::vector<std::pair<std::string, std::string>>& targets) {
  for (const auto& [com, target] : targets)
    if (linkTarget(rig.prefix + "/dosdevices/" + lowercase(com)) != target) return false;
  return true;
}

bool importPorts(const WineRig& rig,
                 const std::vector<std::pair<std::string, std::string>>& targets,
                 std::string& error) {
  std::string registry = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n";
  for (const auto& [com, target] : targets)
    registry += regString(com) + "=" + regString(target) + "\r\n";
  const std::string file = rig.prefix + "-ports.reg";
  if (!writeWholeFile(file, registry)) {
    error = "cannot write " + file;
    return false;
  }
  if (runTool(rig, {"wine", "reg", "import", windowsPath(file)}).exitCode != 0) {
    error = "wine reg import " + file + " failed";
    return false;
  }
  return true;
}

}  // namespace

bool wineFound(std::string& why) {
  for (const char* program : {"wine", "wineserver", "wineboot"}) {
    if (!onPath(program)) {
      why = std::string(program) + " is not installed (Debian package wine)";
      return false;
    }
  }
  return true;
}

bool prepareWineRig(WineRig& rig, const std::string& root, const std::string& name,
                    const std::vector<std::string>& extraEnvironment, std::string& error) {
  rig.prefix = root + "/" + name;
  rig.portsDirectory = rig.prefix + "-ports";
  rig.environment = {"WINEPREFIX=" + rig.prefix, "LANG=" + rig.locale, "LC_ALL", "LANGUAGE",
                     "WINEDEBUG=-all",
                     // No Mono or Gecko installers at the first start.
                     "WINEDLLOVERRIDES=mscoree,mshtml="};
  rig.environment.insert(rig.environment.end(), extraEnvironment.begin(), extraEnvironment.end());
  if (!makeDirectories(root) || !makeDirectories(rig.portsDirectory)) {
    error = "cannot create " + rig.portsDirectory;
    return false;
  }
  PrefixLock lock = lockPrefix(rig);
  const bool ready = initialisePrefix(rig, root, error) && startServer(rig, error);
  unlock(lock);
  return ready;
}

std::string comPortLink(const WineRig& rig, const std::string& comName) {
  return rig.portsDirectory + "/" + comName;
}

bool mapComPorts(WineRig& rig, const std::vector<std::string>& comNames, std::string& error) {
  std::vector<std::pair<std::string, std::string>> targets;
  for (const auto& com : comNames) targets.emplace_back(com, comPortLink(rig, com));
  return mapComPortsTo(rig, targets, error);
}

bool mapComPortsTo(WineRig& rig, const std::vector<std::pair<std::string, std::string>>& targets,
                   std::string& error) {
  std::string wanted;
  for (const auto& [com, target] : targets) wanted += com + "=" + target + "\n";
  PrefixLock lock = lockPrefix(rig);
  bool mapped = readWholeFile(rig.prefix + kPortsMarker) == wanted && devicesMapped(rig, targets);
  if (!mapped) {
    // Wine makes the COM devices of the registry's ports when its server starts.
    mapped = importPorts(rig, targets, error);
    stopWineRig(rig);
    mapped = mapped && startServer(rig, error);
    if (mapped && !devicesMapped(rig, targets)) {
      error = "Wine did not map the ports of HKLM\\Software\\Wine\\Ports in " + rig.prefix;
      mapped = false;
    }
    if (mapped) writeWholeFile(rig.prefix + kPortsMarker, wanted);
  }
  unlock(lock);
  return mapped;
}

bool connectComPort(const WineRig& rig, const std::string& comName, const std::string& linePath,
                    std::string& error) {
  const std::string link = comPortLink(rig, comName);
  const std::string fresh = link + ".new";
  unlink(fresh.c_str());
  if (symlink(linePath.c_str(), fresh.c_str()) != 0 || rename(fresh.c_str(), link.c_str()) != 0) {
    error = "cannot point " + link + " at " + linePath;
    return false;
  }
  return true;
}

ProcessResult runWineProgram(const WineRig& rig, const std::string& program,
                             const std::vector<std::string>& arguments, int timeoutMs,
                             const std::string& workingDirectory) {
  std::vector<std::string> command = {"wine", program};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProcessOptions options;
  options.environment = rig.environment;
  options.timeoutMs = timeoutMs;
  options.workingDirectory = workingDirectory;
  return runProcess(command, options);
}

pid_t startWineProgram(const WineRig& rig, const std::string& program,
                       const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {"wine", program};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProcessOptions options;
  options.environment = rig.environment;
  return startProcess(command, options);
}

void stopWineRig(const WineRig& rig) {
  if (rig.prefix.empty()) return;
  runTool(rig, {"wineserver", "-k"});
  runTool(rig, {"wineserver", "-w"});
}

std::string windowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

bool runningUnderCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && (std::string(ci) == "true" || std::string(ci) == "1");
}

int cannotRun(const std::string& why) {
  if (runningUnderCi()) {
    std::printf("FAILED: %s (CI=true: a test that cannot run fails)\n", why.c_str());
    return 1;
  }
  std::printf("SKIPPED: %s\n", why.c_str());
  return kCannotRunSkipCode;
}

std::string withMissingPrograms(std::string why, const std::vector<const char*>& programs) {
  for (const char* program : programs)
    if (access(program, R_OK) != 0)
      why += std::string(why.empty() ? "" : ", ") + program +
             " (cmake --preset windows && cmake --build build/windows)";
  return why;
}
