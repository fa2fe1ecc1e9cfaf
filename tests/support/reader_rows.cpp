#include "tests/support/reader_rows.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/files.h"
#include "tests/support/sim_port.h"
#include "tests/support/test_instrument.h"

bool connectNativeLine(const std::string& linePath, std::string& port, std::string& error) {
  (void)error;
  port = linePath;
  return true;
}

std::string nativeFolder(const std::string& unixPath) { return unixPath; }

void PrintTo(const ReaderRow& row, std::ostream* out) { *out << row.name; }

const std::vector<ReaderRow>& readerRows() {
  static const std::vector<ReaderRow> rows = {
      // The dialog's name and bytes, in the folder given.
      {"WritesTheReportIntoTheFolder", {"--char-ms", "0"},
       {"--report", kFolderArgument, "--json", kPortArgument}, true, false},
      {"PacedCycleTime", {"--char-ms", "8.33"}, {"--trace", "--json", kPortArgument}, false, true},
  };
  return rows;
}

void checkReaderRow(const ReaderRow& row, const ReaderChannel& channel) {
  SimProcess sim;
  std::string scenarioPath;
  std::string error;
  std::string port;
  ASSERT_TRUE(startScenarioSim(sim, scenarioPath, instrumentScenario(), row.simArguments, error))
      << error;
  const std::string directory = row.report ? makeTemporaryDirectory() : "";
  if (channel.connect(sim.linePath, port, error)) {
    std::vector<std::string> arguments = withPort(row.arguments, port);
    for (auto& argument : arguments)
      if (argument == kFolderArgument) argument = channel.folder(directory);
    const ProcessResult result = channel.run(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, expectedJson(port, 0, instrumentValues()));
    if (row.report) {
      const auto files = filesIn(directory);
      EXPECT_EQ(files.size(), 1u);
      if (files.size() == 1) {
        EXPECT_TRUE(isReportName(files[0], "ZT-004217")) << files[0];
        EXPECT_EQ(readWholeFile(directory + "/" + files[0]), expectedReportText());
      }
    }
    if (row.paced) {
      const long long cycleMs = tracedCycleMs(result.err);
      const double lineMs = static_cast<double>(instrumentCycleLineCharacters()) * 8.33;
      std::printf("%s, paced: cycle %lld ms, line %.0f ms\n", channel.name, cycleMs, lineMs);
      testing::Test::RecordProperty("cycle_ms", static_cast<int>(cycleMs));
      EXPECT_GE(static_cast<double>(cycleMs), lineMs) << result.err;
      EXPECT_LE(static_cast<double>(cycleMs), 2 * lineMs + 1000);
    }
  } else {
    ADD_FAILURE() << error;
  }
  stopScenarioSim(sim, scenarioPath);
  if (!directory.empty()) removeDirectory(directory);
}
