// zort-read: reads the identification of a ЗОРТ instrument from a terminal.
#include <cstdio>
#include <string>

#include "os/console.h"
#include "text/cp1251.h"
#include "tools/zort-read/port_listing.h"
#include "tools/zort-read/read_instrument.h"
#include "tools/zort-read/reader_options.h"

int main(int argc, char** argv) {
  prepareConsole();
  ReaderOptions options;
  std::string error;
  if (!parseReaderOptions(argc, argv, options, error) || !loadExpectFile(options, error)) {
    std::fprintf(stderr, "zort-read: %s (see zort-read --help)\n", nativeToUtf8(error).c_str());
    return kUsageExitCode;
  }
  switch (options.mode) {
    case ReaderMode::kHelp:
      std::fputs(programTextToUtf8(readerUsage()).c_str(), stdout);
      return 0;
    case ReaderMode::kVersion:
      std::fputs("zort-read " ZORT_VERSION "\n", stdout);
      return 0;
    case ReaderMode::kList:
      return listPorts(options.json);
    case ReaderMode::kRead:
      break;
  }
  return readInstrument(options, listPortDetails);
}
