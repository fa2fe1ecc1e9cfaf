#include "tests/faults/fault_rows.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/support/sim_port.h"
#include "tests/support/test_instrument.h"

namespace {

// The instrument with position's first reply replaced by fields; its second
// and later requests get the good reply again.
std::string faultAt(size_t position, const std::string& fields) {
  return instrumentScenario(position, fields) + kTestInstrumentLines[position] + "\n";
}

std::string withSerial(const std::string& text) {
  return faultAt(kSerialNumberPosition, "type=11 text=" + text);
}

const std::vector<std::string> kJson = {"--json", kPortArgument};
const std::vector<std::string> kJsonReport = {"--json", "--report", kFolderArgument, kPortArgument};

struct Folder {
  std::string base;  // removed at the end
  std::string path;  // the report's folder
};

Folder makeFolder(FolderKind kind) {
  Folder folder;
  if (kind == FolderKind::kNone) return folder;
  folder.base = makeTemporaryDirectory();
  folder.path = folder.base;
  if (kind == FolderKind::kUnderAFile) {
    std::ofstream(folder.base + "/plain-file") << "not a folder\n";
    folder.path = folder.base + "/plain-file/reports";
  }
  return folder;
}

std::vector<std::string> arguments(const std::vector<std::string>& pattern, const std::string& port,
                                   const std::string& folder) {
  std::vector<std::string> replaced = withPort(pattern, port);
  for (auto& argument : replaced)
    if (argument == kFolderArgument) argument = folder;
  return replaced;
}

// One run of the reader: exit code, JSON, one stderr line on failure, and
// the report (or none).
void checkRun(const ReaderChannel& channel, const std::string& port,
              const std::vector<std::string>& pattern, FolderKind kind, int exitCode,
              const ValueTexts& values, const std::string& reportPrefix) {
  const Folder folder = makeFolder(kind);
  const std::string folderName = folder.path.empty() ? "" : channel.folder(folder.path);
  const ProcessResult result = channel.run(arguments(pattern, port, folderName));
  EXPECT_EQ(result.exitCode, exitCode) << result.err;
  EXPECT_EQ(result.out, expectedJson(port, exitCode, values));
  if (exitCode != 0) {
    EXPECT_EQ(lineCount(result.err), 1u) << result.err;
  }
  if (kind == FolderKind::kWritable) {
    const auto files = filesIn(folder.path);
    if (reportPrefix.empty()) {
      EXPECT_TRUE(files.empty()) << "a failed read writes no report";
    } else {
      ASSERT_EQ(files.size(), 1u);
      EXPECT_TRUE(isReportName(files[0], reportPrefix)) << files[0];
    }
  }
  if (kind == FolderKind::kUnderAFile) unlink((folder.base + "/plain-file").c_str());
  removeDirectory(folder.base);
}

}  // namespace

void PrintTo(const FaultRow& row, std::ostream* out) { *out << row.name; }

const std::vector<FaultRow>& faultRows() {
  const ValueTexts all = valuesBefore(kParameterCount);
  const std::string longSerial(100, 'X');
  static const std::vector<FaultRow> rows = {
      {"NoAnswer", faultAt(3, "silent"), kJson, FolderKind::kNone, 7, valuesBefore(3), "", false, 0},
      {"EchoOnly", faultAt(4, "echo-only"), kJson, FolderKind::kNone, 7, valuesBefore(4), "", false,
       0},
      {"ReplyCutShort", faultAt(1, "type=4 value=07E9 length=20"), kJson, FolderKind::kNone, 8,
       valuesBefore(1), "", false, 0},
      // The reader's wait after the request (193 ms) and its 40 ms of
      // silence pass inside the pause; the rest of the reply comes 400 ms on.
      {"PauseInsideReply", faultAt(2, "type=3 value=72C0 pause=8:400"), kJson, FolderKind::kNone, 8,
       valuesBefore(2), "", false, 600},
      {"NoiseBeforeTheFrame", faultAt(1, "type=4 value=07E9 prefix=\\x00~#"), kJson,
       FolderKind::kNone, 8, valuesBefore(1), "", false, 0},
      {"NoiseAfterTheFrame", faultAt(5, "type=1 value=01 suffix=\\r\\n\\xFF"), kJson,
       FolderKind::kNone, 8, valuesBefore(5), "", false, 0},
      {"WrongLrc", faultAt(0, "type=1 value=16 bad-lrc"), kJson, FolderKind::kNone, 8,
       valuesBefore(0), "", false, 0},
      // "5a" for 'Z': a lowercase low digit counts 32 too much.
      {"LowercaseDigits", faultAt(3, "type=11 text=ZT-004217 lowercase"), kJson, FolderKind::kNone,
       8, valuesBefore(3), "", false, 0},
      // "07e9": a lowercase high digit counts 32 · 16 too much, which the
      // byte does not hold: the value is right.
      {"LowercaseHighDigitsOnly", faultAt(1, "type=4 value=07E9 lowercase"), kJson,
       FolderKind::kNone, 0, all, "", false, 0},
      {"SixHundredCharacters", faultAt(5, "type=1 value=01 length=600"), kJson, FolderKind::kNone,
       8, valuesBefore(5), "", false, 0},
      // A text without its NUL; an integer of type 4 with one byte of two.
      {"TextPastTheEnd", faultAt(3, "reply=0002004038000B5A54"), kJson, FolderKind::kNone, 8,
       valuesBefore(3), "", false, 0},
      {"IntegerPastTheEnd", faultAt(4, "reply=000200493800000400"), kJson, FolderKind::kNone, 8,
       valuesBefore(4), "", false, 0},
      {"HangUpInsideReply", faultAt(2, "type=3 value=72C0 hangup=9"), kJson, FolderKind::kNone, 8,
       valuesBefore(2), "", true, 0},
      {"ReportFolderNotWritable", instrumentScenario(), kJsonReport, FolderKind::kUnderAFile, 9,
       all, "", false, 0},
      // The scenario's \\ is one backslash.
      {"SerialWithForbiddenCharacters", withSerial("a/b\\\\c:d*e?f<g>h|i"), kJsonReport,
       FolderKind::kWritable, 0,
       [&] {
         ValueTexts v = all;
         v[kSerialNumberPosition] = "a/b\\\\c:d*e?f<g>h|i";  // as JSON writes it
         return v;
       }(),
       "a_b_c_d_e_f_g_h_i", false, 0},
      // A value text holds at most 63 characters.
      {"LongSerial", withSerial(longSerial), kJsonReport, FolderKind::kWritable, 0,
       [&] {
         ValueTexts v = all;
         v[kSerialNumberPosition] = longSerial.substr(0, 63);
         return v;
       }(),
       longSerial.substr(0, 63), false, 0},
  };
  return rows;
}

void checkFaultRow(const FaultRow& row, const ReaderChannel& channel) {
  SimProcess sim;
  std::string scenarioPath;
  std::string error;
  std::string port;
  ASSERT_TRUE(startScenarioSim(sim, scenarioPath, row.scenario, {"--char-ms", "0"}, error)) << error;
  ASSERT_TRUE(channel.connect(sim.linePath, port, error)) << error;
  {
    SCOPED_TRACE("the faulty read");
    checkRun(channel, port, row.arguments, row.folder, row.exitCode, row.values, row.reportPrefix);
  }
  if (row.lineGone) {
    EXPECT_EQ(waitSimExit(sim, 10000), 0) << "the instrument hung up";
    stopScenarioSim(sim, scenarioPath);
    ASSERT_TRUE(startScenarioSim(sim, scenarioPath, instrumentScenario(), {"--char-ms", "0"}, error))
        << error;
    ASSERT_TRUE(channel.connect(sim.linePath, port, error)) << error;
  }
  // The late rest of a reply is on the line before the next request; the
  // next exchange's purge drops it.
  if (row.settleMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(row.settleMs));
  {
    SCOPED_TRACE("the good read after it");
    checkRun(channel, port, kJsonReport, FolderKind::kWritable, 0, valuesBefore(kParameterCount),
             "ZT-004217");
  }
  stopScenarioSim(sim, scenarioPath);
}
