// zort-sim: plays the instrument on a serial line, for tests and demos.
#include <signal.h>
#include <sys/signalfd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tools/zort-sim/default_scenario.h"
#include "tools/zort-sim/line.h"
#include "tools/zort-sim/options.h"
#include "tools/zort-sim/scenario.h"
#include "tools/zort-sim/serve.h"

namespace {

bool readWholeFile(const std::string& path, std::string& text) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  size_t got = 0;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  const bool ok = ferror(file) == 0;
  fclose(file);
  return ok;
}

int64_t toNs(double ms) { return static_cast<int64_t>(std::llround(ms * 1e6)); }

}  // namespace

int main(int argc, char** argv) {
  // Stop signals are taken through a descriptor, so a stop that arrives at
  // any moment ends the loop cleanly.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::vector<std::string_view> arguments(argv + 1, argv + argc);
  SimOptions options;
  const std::string problem = parseSimOptions(arguments, options);
  if (!problem.empty()) {
    fprintf(stderr, "zort-sim: %s\n%s", problem.c_str(), kSimUsage);
    return 2;
  }
  if (options.help) {
    fputs(kSimUsage, stdout);
    return 0;
  }
  if (options.printDefault) {
    fputs(kDefaultScenario, stdout);
    return 0;
  }

  std::string text = kDefaultScenario;
  const std::string source = options.scenarioPath.empty() ? "(built-in)" : options.scenarioPath;
  if (!options.scenarioPath.empty()) {
    text.clear();
    if (!readWholeFile(options.scenarioPath, text)) {
      fprintf(stderr, "zort-sim: cannot read %s\n", options.scenarioPath.c_str());
      return 2;
    }
  }
  Scenario scenario;
  const ScenarioError error = parseScenario(text, scenario);
  if (error.line != 0) {
    fprintf(stderr, "zort-sim: %s:%zu: %s\n", source.c_str(), error.line, error.message.c_str());
    return 2;
  }

  ServeSettings settings;
  settings.charNs = toNs(options.charMs);
  settings.turnaroundNs = toNs(options.turnaroundMs);
  settings.signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
  if (settings.signalFd < 0) {
    perror("zort-sim: signalfd");
    return 1;
  }
  if (!options.logPath.empty()) {
    settings.log = fopen(options.logPath.c_str(), "w");
    if (settings.log == nullptr) {
      fprintf(stderr, "zort-sim: cannot write %s\n", options.logPath.c_str());
      return 1;
    }
  }

  SimLine line;
  const std::string opened =
      options.device.empty() ? openPseudoTerminalLine(line) : openDeviceLine(options.device, line);
  if (!opened.empty()) {
    fprintf(stderr, "zort-sim: %s\n", opened.c_str());
    closeLine(line);
    return 1;
  }
  printf("%s\n", line.path.c_str());
  fflush(stdout);

  const int code = serveLine(line, scenario, settings);
  closeLine(line);
  if (settings.log != nullptr) fclose(settings.log);
  return code;
}
