// zort-read itself, natively, against zort-sim on a pseudo-terminal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/sim_port.h"
#include "tests/support/test_instrument.h"
#include "tests/support/process_run.h"
#include "tests/support/reader_cases.h"
#include "tests/support/reader_rows.h"
#include "tests/support/golden_texts.h"

namespace {

using golden::utf8;

constexpr int kRunTimeoutMs = 60000;

ProcessResult runReader(const std::vector<std::string>& arguments) {
  return runNativeReader(ZORT_READ_PATH, arguments, kRunTimeoutMs);
}

const char* u8text(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// One zort-sim per test, unpaced unless asked.
class ReaderTest : public testing::Test {
 protected:
  void startSimWith(const std::string& scenario,
                    std::vector<std::string> arguments = {"--char-ms", "0"}) {
    std::string error;
    ASSERT_TRUE(startScenarioSim(sim, scenarioPath, scenario, arguments, error)) << error;
  }
  void TearDown() override {
    stopScenarioSim(sim, scenarioPath);
    removeDirectory(directory);
  }
  ProcessResult read(const std::vector<std::string>& arguments) {
    return runReader(withPort(arguments, sim.linePath));
  }

  SimProcess sim;
  std::string scenarioPath;
  std::string directory;
};

class ReaderCaseTest : public ReaderTest, public testing::WithParamInterface<ReaderCase> {};

TEST_P(ReaderCaseTest, PrintsOneJsonObjectAndExitsWithTheStatus) {
  const ReaderCase& c = GetParam();
  startSimWith(c.scenario);
  const ProcessResult result = read(c.arguments);
  EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
  EXPECT_EQ(result.out, expectedJson(sim.linePath, c.exitCode, c.values));
  // A failure is also told on stderr, in one line.
  EXPECT_EQ(lineCount(result.err), c.exitCode == 0 ? 0u : 1u) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReaderCaseTest, testing::ValuesIn(readerCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, PrintsTheSixLabelledValuesInReportOrder) {
  startSimWith(instrumentScenario());
  const ProcessResult result = read({kPortArgument});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, expectedValueLines());
  EXPECT_EQ(result.err, "") << "no progress when stderr is no terminal";
}

struct OpenFailure {
  const char* name;
  const char* port;
  int exitCode;
  const char8_t* message;  // the whole line on stderr
};

class OpenFailureTest : public testing::TestWithParam<OpenFailure> {};

TEST_P(OpenFailureTest, ExitsWithTheOpenStatus) {
  const OpenFailure& c = GetParam();
  const ProcessResult json = runReader({"--json", c.port});
  EXPECT_EQ(json.exitCode, c.exitCode);
  EXPECT_EQ(json.out, expectedJson(c.port, c.exitCode, ValueTexts{}));
  const ProcessResult plain = runReader({c.port});
  EXPECT_EQ(plain.exitCode, c.exitCode);
  EXPECT_EQ(plain.out, "");
  EXPECT_EQ(plain.err, u8text(c.message));
  EXPECT_EQ(json.err, u8text(c.message));
}

// The status text, and the system's reason where it gave one.
const OpenFailure kOpenFailures[] = {
    {"NoSuchDevice", "/dev/zort-no-such-port", 2,
     u8"zort-read: /dev/zort-no-such-port: Не удалось открыть порт. (No such file or directory)\n"},
    {"EmptyName", "", 2, u8"zort-read: : Не удалось открыть порт.\n"},
    {"NotASerialLine", "/dev/null", 3,
     u8"zort-read: /dev/null: Не удалось установить DCB. (Inappropriate ioctl for device)\n"},
};

INSTANTIATE_TEST_SUITE_P(Ports, OpenFailureTest, testing::ValuesIn(kOpenFailures),
                         [](const auto& info) { return std::string(info.param.name); });

struct UsageCase {
  const char* name;
  std::vector<std::string> arguments;
};

class UsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageTest, ExitsWith64AndOneLine) {
  const ProcessResult result = runReader(GetParam().arguments);
  EXPECT_EQ(result.exitCode, 64);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(lineCount(result.err), 1u) << result.err;
  EXPECT_EQ(result.err.rfind("zort-read: ", 0), 0u) << result.err;
}

const UsageCase kUsageCases[] = {
    {"NoArgument", {}},
    {"OnlyOptions", {"--json", "--trace"}},
    {"UnknownOption", {"--bogus", "COM3"}},
    {"ReportWithoutFolder", {"COM3", "--report"}},
    {"EmptyReportFolder", {"--report=", "COM3"}},
    {"PortAndSimulate", {"--simulate", "COM3"}},
    {"ListWithPort", {"--list", "COM3"}},
    {"AllWithPort", {"--all", "COM3"}},
    {"SamePortTwice", {"COM3", "COM4", "COM3"}},
    {"ExpectUnknownKey", {"--expect", "version=22,colour=red", "COM3"}},
    {"ExpectWithoutEquals", {"--expect", "checksum", "COM3"}},
    {"ExpectEmptyPair", {"--expect=version=22,,build=1", "COM3"}},
    {"ExpectSameKeyTwice", {"--expect", "build=1", "--expect", "build=2", "COM3"}},
    {"ExpectWithoutList", {"COM3", "--expect"}},
    {"RetriesNotANumber", {"--retries", "two", "COM3"}},
    {"RetriesNegative", {"--retries=-1", "COM3"}},
    {"RetriesTooMany", {"--retries", "101", "COM3"}},
    {"JournalEmpty", {"--journal=", "COM3"}},
    {"ListWithJournal", {"--list", "--journal", "j.csv"}},
    {"ListWithTrace", {"--list", "--trace"}},
    {"ListWithWatch", {"--list", "--watch"}},
    {"WatchWithReport", {"--watch", "--report", "/tmp", "COM3"}},
    {"WatchWithoutPort", {"--watch", "--bell"}},
    {"ExpectFileWithoutName", {"--expect", "@", "COM3"}},
    {"ExpectFileMissing", {"--expect", "@/no/such/profile.txt", "COM3"}},
    {"ExpectTwoFiles", {"--expect=@a.txt", "--expect=@b.txt", "COM3"}},
};

INSTANTIATE_TEST_SUITE_P(Usage, UsageTest, testing::ValuesIn(kUsageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderHelp, PrintsTheUsage) {
  const ProcessResult result = runReader({"--help"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out.rfind("usage: zort-read", 0), 0u) << result.out;
  EXPECT_NE(result.out.find("--version"), std::string::npos) << result.out;
}

TEST(ReaderVersion, PrintsTheProjectsVersion) {
  const ProcessResult result = runReader({"--version"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "zort-read " ZORT_VERSION "\n");
  EXPECT_EQ(result.err, "");
}

// The runs that come out the same under Wine.
class ReaderRowTest : public testing::TestWithParam<ReaderRow> {};

TEST_P(ReaderRowTest, ReadsTheTestInstrument) {
  checkReaderRow(GetParam(), {connectNativeLine, runReader, nativeFolder});
}

INSTANTIATE_TEST_SUITE_P(Rows, ReaderRowTest, testing::ValuesIn(readerRows()),
                         [](const auto& info) { return std::string(info.param.name); });

struct SerialCase {
  const char* name;
  const char* text;      // the serial number's scenario text
  const char* fileName;  // how it starts the file name
};

class ReportNameTest : public ReaderTest, public testing::WithParamInterface<SerialCase> {};

// Characters Windows does not allow in a file name become "_", so the file
// always lands in the folder; a long serial number is taken whole.
TEST_P(ReportNameTest, NamesTheFileInTheFolder) {
  const SerialCase& c = GetParam();
  startSimWith(instrumentScenario(3, std::string("type=11 text=") + c.text));
  directory = makeTemporaryDirectory();
  const ProcessResult result = read({"--report", directory, kPortArgument});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const auto files = filesIn(directory);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(isReportName(files[0], c.fileName)) << files[0];
}

const SerialCase kSerialCases[] = {
    // The scenario's \\ is one backslash.
    {"Separators", "../a\\\\b:c*d?e\"f<g>h|i", ".._a_b_c_d_e_f_g_h_i"},
    {"ControlCharacters", "A\\x01B\\x1fC", "A_B_C"},
    {"Long", "0123456789012345678901234567890123456789ABCDEFGHIJ",
     "0123456789012345678901234567890123456789ABCDEFGHIJ"},
    {"Empty", "", ""},
    {"Cyrillic", u8text(u8"ЗТ-1"), u8text(u8"ЗТ-1")},
};

INSTANTIATE_TEST_SUITE_P(Serials, ReportNameTest, testing::ValuesIn(kSerialCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, AReportThatCannotBeWrittenEndsWith9) {
  startSimWith(instrumentScenario());
  const std::string missing = "/nonexistent/zort-read-reports";
  const ProcessResult result = read({"--json", "--report", missing, kPortArgument});
  EXPECT_EQ(result.exitCode, 9) << result.err;
  EXPECT_EQ(result.out, expectedJson(sim.linePath, 9, instrumentValues()));
  EXPECT_NE(result.err.find(missing), std::string::npos) << result.err;
  // The system's reason follows the message.
  const std::string because = utf8(u8": Не удалось записать.файл (No such file or directory)\n");
  EXPECT_NE(result.err.find(missing + because), std::string::npos) << result.err;
}

TEST_F(ReaderTest, NoReportAfterAFailedRead) {
  startSimWith(instrumentScenario(5, "silent"));
  directory = makeTemporaryDirectory();
  EXPECT_EQ(read({"--report", directory, kPortArgument}).exitCode, 7);
  EXPECT_TRUE(filesIn(directory).empty());
}

// --trace: each exchange on stderr, the cycle's time last; stdout stays JSON.
TEST_F(ReaderTest, TracesEveryExchange) {
  startSimWith(instrumentScenario(0, "type=1 value=16 echo"));
  const ProcessResult result = read({"--trace", "--json", kPortArgument});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, expectedJson(sim.linePath, 0, instrumentValues()));
  for (const char* frame : {":00020041380085\\r\\n", ":00020042380084\\r\\n", ":00020062380064\\r\\n",
                            ":00020040380086\\r\\n", ":0002004938007D\\r\\n", ":00020046380080\\r\\n"})
    EXPECT_NE(result.err.find(std::string("sent      17 ") + frame), std::string::npos) << frame;
  // A's reply came after its echo, both received in one go.
  EXPECT_NE(result.err.find("received  40 :00020041380085\\r\\n:000200413800"), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find(" ZZZ =16, X=72c0 "), std::string::npos) << "developer trace";
  EXPECT_GT(tracedCycleMs(result.err), 0) << result.err;
}

// The instrument's line goes away when the third request has gone out: the
// read the system refuses ends the exchange as no answer, and its words
// reach the trace and the message.
TEST_F(ReaderTest, ALineThatGoesAwayIsToldInTheSystemsWords) {
  startSimWith(instrumentScenario(2, "silent hangup=0"));
  const ProcessResult result = read({"--trace", "--json", kPortArgument});
  EXPECT_EQ(result.exitCode, 7) << result.err;
  EXPECT_EQ(result.out, expectedJson(sim.linePath, 7, valuesBefore(2)));
  EXPECT_NE(result.err.find(" ms read failed: Input/output error\n"), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("\nzort-read: " + sim.linePath +
                            u8text(u8": Нет ответа. (Input/output error)\n")),
            std::string::npos)
      << result.err;
}

TEST(ReaderSimulate, ReadsTheBuiltInSimulatedInstrument) {
  const ProcessResult plain = runReader({"--simulate"});
  EXPECT_EQ(plain.exitCode, 0) << plain.err;
  EXPECT_EQ(plain.out, expectedValueLines());
  const ProcessResult json = runReader({"--simulate", "--json"});
  EXPECT_EQ(json.exitCode, 0) << json.err;
  EXPECT_NE(json.out.find("\"status\": 0"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"value\": \"ZT-004217\""), std::string::npos) << json.out;
}

// On this machine: whatever ports it has, plain and as JSON Lines, the same
// ports in the same order.
TEST(ReaderList, ListsSerialDevicesOnly) {
  const ProcessResult result = runReader({"--list"});
  const ProcessResult json = runReader({"--list", "--json"});
  std::istringstream lines(result.out);
  std::istringstream jsonLines(json.out);
  size_t count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_EQ(line.rfind("/dev/tty", 0), 0u) << line;
    std::string object;
    ASSERT_TRUE(std::getline(jsonLines, object)) << json.out;
    const std::string name = line.substr(0, line.find("  "));
    EXPECT_EQ(object.rfind("{\"port\": \"" + name + "\", \"description\": ", 0), 0u) << object;
    EXPECT_EQ(object.back(), '}') << object;
  }
  EXPECT_EQ(result.exitCode, count == 0 ? 1 : 0) << result.err;
  EXPECT_EQ(json.exitCode, result.exitCode) << json.err;
  std::string extra;
  EXPECT_FALSE(std::getline(jsonLines, extra)) << extra;
}

}  // namespace
