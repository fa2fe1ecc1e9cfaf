#include "tests/gui/ident_session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr int kDriverTimeoutMs = 120000;
constexpr const char* kResultSeparator = " => ";

std::string path(const IdentSession& session, const char* file) {
  return session.directory + "/" + file;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result.push_back(line);
  }
  return result;
}

}  // namespace

bool startIdentSession(const GuiRig& rig, const std::string& name,
                       const std::vector<std::string>& simArguments, IdentSession& session,
                       std::string& error, const std::string& workDirectory) {
  session = IdentSession{};
  session.directory = rig.directory + "/" + name;
  std::error_code ignored;
  std::filesystem::remove_all(session.directory, ignored);
  const std::string work = workDirectory.empty() ? session.directory + "/work" : workDirectory;
  std::filesystem::create_directories(session.directory, ignored);
  std::filesystem::create_directories(work, ignored);
  std::vector<std::string> arguments = simArguments;
  arguments.push_back("--log");
  arguments.push_back(path(session, "sim.log"));
  if (!startSim(session.sim, arguments, error)) return false;
  if (!connectComPort(rig.wine, "COM1", session.sim.linePath, error)) return false;
  ChildSpec launch = wineCommand(rig, {ZORT_IDENT_EXE});
  launch.directory = work;
  launch.stdoutPath = path(session, "ident.out");
  launch.stderrPath = path(session, "ident.err");
  return startChild(launch, session.ident, error);
}

std::vector<std::string> drive(const GuiRig& rig, const IdentSession& session,
                               const std::vector<std::string>& commands) {
  std::string script;
  for (const auto& command : commands) script += command + "\n";
  const std::string scriptPath = path(session, "drive.in");
  const std::string outputPath = path(session, "drive.out");
  writeWholeFile(scriptPath, script);
  ChildSpec launch = wineCommand(rig, {ZORT_DRIVE_EXE});
  launch.directory = session.directory;
  launch.stdinPath = scriptPath;
  launch.stdoutPath = outputPath;
  launch.stderrPath = path(session, "drive.err");
  std::string error;
  runChild(launch, kDriverTimeoutMs, error);

  std::vector<std::string> results;
  const std::vector<std::string> output = lines(readWholeFile(outputPath));
  for (size_t i = 0; i < commands.size(); ++i) {
    std::string result = "<no answer>";
    if (i < output.size()) {
      const std::string expectedStart = commands[i] + kResultSeparator;
      if (output[i].compare(0, expectedStart.size(), expectedStart) == 0)
        result = output[i].substr(expectedStart.size());
      else
        result = "<out of step: " + output[i] + ">";
    }
    results.push_back(result);
  }
  return results;
}

int waitIdentExit(IdentSession& session, int timeoutMs) {
  if (session.identExit == -3 || session.identExit == -2)
    session.identExit = waitChild(session.ident, timeoutMs);
  return session.identExit;
}

void stopIdentSession(IdentSession& session) {
  stopChild(session.ident);
  if (session.sim.pid > 0) stopSim(session.sim);
}

std::string identStdout(const IdentSession& session) {
  return readWholeFile(path(session, "ident.out"));
}

std::string identStderr(const IdentSession& session) {
  return readWholeFile(path(session, "ident.err"));
}

std::vector<std::string> simRequests(const IdentSession& session) {
  return lines(readWholeFile(path(session, "sim.log")));
}

int identPid(const IdentSession& session) { return session.ident.pid; }

double unixCpuMs(const IdentSession& session) {
  std::ifstream stat("/proc/" + std::to_string(identPid(session)) + "/stat");
  std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const size_t close = content.rfind(')');
  if (close == std::string::npos) return -1.0;
  std::istringstream fields(content.substr(close + 2));
  std::string field;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) stime = std::stoll(field);
  }
  return 1000.0 * static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}
