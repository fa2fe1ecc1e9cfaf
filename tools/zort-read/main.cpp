// zort-read: reads the identification of a ЗОРТ instrument from a terminal.
#include <cstdio>
#include <string>
#include <vector>

#include "os/command_line.h"
#include "os/console.h"
#include "text/cp1251.h"
#include "tools/zort-read/port_listing.h"
#include "tools/zort-read/read_instrument.h"
#include "tools/zort-read/reader_options.h"

int main(int argc, char** argv) {
  prepareConsole();
  // UTF-8 from here on, on every platform.
  const std::vector<std::string> arguments = commandLineArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  pointers.push_back(nullptr);
  ReaderOptions options;
  std::string error;
  if (!parseReaderOptions(static_cast<int>(arguments.size()), pointers.data(), options, error) ||
      !loadExpectFile(options, error)) {
    printText(stderr, "zort-read: %s (see zort-read --help)\n", nativeToUtf8(error).c_str());
    return kUsageExitCode;
  }
  switch (options.mode) {
    case ReaderMode::kHelp:
      writeText(stdout, programTextToUtf8(readerUsage()));
      return 0;
    case ReaderMode::kVersion:
      writeText(stdout, "zort-read " ZORT_VERSION "\n");
      return 0;
    case ReaderMode::kList:
      return listPorts(options.json);
    case ReaderMode::kRead:
      break;
  }
  return readInstrument(options, listPortDetails);
}
