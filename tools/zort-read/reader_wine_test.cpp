// The Windows build's zort-read.exe under Wine, reading zort-sim through a
// COM port that Wine maps to the sim's pseudo-terminal. One program, one
// Wine start: the reader cases run in a row. Exits 77 (skipped; 1 under CI) when Wine
// or the .exe is missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/line_mode.h"
#include "tests/support/sim_port.h"
#include "os/child_process.h"
#include "tests/support/test_instrument.h"
#include "tests/wine/wine_rig.h"
#include "tests/wine/wine_test_main.h"
#include "tests/support/reader_cases.h"
#include "tests/support/reader_rows.h"
#include "tests/support/golden_texts.h"

namespace {

constexpr int kRunTimeoutMs = 120000;
const char* const kExe = ZORT_READ_EXE;

// COM5 for most cases; COM12 opens only through the device namespace; COM6
// and COM8 for several ports at once. COM7 stays unmapped.
const std::vector<std::string> kComPorts = {"COM5", "COM12", "COM6", "COM8"};
const std::vector<std::string> kLinePorts = {"COM5", "COM6", "COM12", "COM8"};
constexpr const char* kUnmappedPort = "COM7";

WineRig gRig;

ProcessResult runExe(const std::vector<std::string>& arguments) {
  return runWineProgram(gRig, kExe, arguments, kRunTimeoutMs);
}

class WineReaderTest : public testing::Test {
 protected:
  // A sim with the scenario on its own pty, which com then stands for.
  void startSimOn(const std::string& com, const std::string& scenario,
                  std::vector<std::string> arguments = {"--char-ms", "0"}) {
    std::string error;
    ASSERT_TRUE(startScenarioSim(sim, scenarioPath, scenario, arguments, error)) << error;
    ASSERT_TRUE(connectComPort(gRig, com, sim.linePath, error)) << error;
  }
  void TearDown() override {
    stopScenarioSim(sim, scenarioPath);
    removeDirectory(directory);
  }

  SimProcess sim;
  std::string scenarioPath;
  std::string directory;
};

class WineReaderCaseTest : public WineReaderTest,
                           public testing::WithParamInterface<ReaderCase> {};

TEST_P(WineReaderCaseTest, PrintsOneJsonObjectAndExitsWithTheStatus) {
  const ReaderCase& c = GetParam();
  startSimOn("COM5", c.scenario);
  const ProcessResult result = runExe(withPort(c.arguments, "COM5"));
  EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
  EXPECT_EQ(result.out, expectedJson("COM5", c.exitCode, c.values));
  EXPECT_EQ(lineCount(result.err), c.exitCode == 0 ? 0u : 1u) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Cases, WineReaderCaseTest, testing::ValuesIn(readerCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Several ports at once, --expect and --retries: the native table.
class WineLineTest : public testing::Test {
 protected:
  // Each instrument's sim behind the next mapped port; COM7 where there is none.
  void startPorts(const std::vector<PortCase>& cases) {
    std::string error;
    ASSERT_TRUE(startCaseSims(sims, cases, error)) << error;
    ports.clear();
    size_t mapped = 0;
    for (const auto& sim : sims.sims) {
      if (sim.linePath.empty()) {
        ports.push_back(kUnmappedPort);
        continue;
      }
      ASSERT_LT(mapped, kLinePorts.size());
      ports.push_back(kLinePorts[mapped++]);
      ASSERT_TRUE(connectComPort(gRig, ports.back(), sim.linePath, error)) << error;
    }
  }
  void TearDown() override {
    stopCaseSims(sims);
    removeDirectory(directory);
  }

  CaseSims sims;
  std::vector<std::string> ports;
  std::string directory;
};

class WineLineCaseTest : public WineLineTest, public testing::WithParamInterface<LineCase> {};

TEST_P(WineLineCaseTest, PrintsAJsonLinePerPortInOrder) {
  const LineCase& c = GetParam();
  startPorts(c.ports);
  const ProcessResult result = runExe(withPorts(c.arguments, ports));
  EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
  EXPECT_EQ(result.out, expectedJsonLines(c, ports));
}

INSTANTIATE_TEST_SUITE_P(Cases, WineLineCaseTest, testing::ValuesIn(lineCases()),
                         [](const auto& info) { return std::string(info.param.name); });

using golden::utf8;

// The journal from two zort-read.exe at once: one header, whole rows, the
// verdict and the profile with --expect.
TEST_F(WineLineTest, TwoProcessesShareAJournal) {
  startPorts(std::vector<PortCase>(4, PortCase{instrumentScenario(), 0, {}, ""}));
  directory = makeTemporaryDirectory();
  const std::string journal = directory + "/journal.csv";
  std::vector<pid_t> readers;
  for (size_t p = 0; p < 2; ++p)
    readers.push_back(startWineProgram(gRig, kExe,
                                       {"--journal", windowsPath(journal), "--station", "wine",
                                        "--expect", "serial=ZT-004217", ports[2 * p],
                                        ports[2 * p + 1]}));
  for (const pid_t pid : readers) EXPECT_EQ(waitProcess(pid, kRunTimeoutMs), 0);
  const std::string text = readWholeFile(journal);
  const std::string header =
      utf8(u8"\uFEFFВремя;Станция;Оператор;Порт;Вердикт;Код;Сообщение;Версия ПО;Сборка;"
           u8"Контр. сумма;Сетевой адрес;ДУ (мм);Зав. N;Профиль;Попытки;Версия программы\r\n");
  ASSERT_EQ(text.rfind(header, 0), 0u) << text;
  // Each row: the time with its offset (25 characters), then the rest.
  size_t size = header.size();
  for (const auto& port : ports) {
    const std::string row = ";wine;;" + port +
                            utf8(u8";pass;0;OK!;22;2025;72C0;1;50;ZT-004217;serial=ZT-004217;1;") +
                            ZORT_VERSION + "\r\n";
    EXPECT_NE(text.find(row), std::string::npos) << port << "\n" << text;
    size += 25 + row.size();
  }
  EXPECT_EQ(text.size(), size) << "nothing else in the journal:\n" << text;
}

// Excel holds an open CSV file so that others may read it but not write
// it. Meanwhile the rows wait beside the journal; once Excel lets go, the
// next row brings them in.
TEST_F(WineLineTest, NoRowIsLostWhileExcelHoldsTheJournal) {
  startPorts({{instrumentScenario(), 0, {}, ""}});
  directory = makeTemporaryDirectory();
  const std::string journal = directory + "/journal.csv";
  const std::string shownJournal = windowsPath(journal);
  ASSERT_EQ(runExe({"--journal", shownJournal, ports[0]}).exitCode, 0);
  const std::string before = readWholeFile(journal);

  ASSERT_TRUE(writeWholeFile(directory + "/commands", "hold " + shownJournal + "\nwait-file 60000 " +
                                                          windowsPath(directory + "/let-go") +
                                                          "\nrelease\n"));
  SpawnSpec excel;
  excel.argv = {"wine", ZORT_DRIVE_EXE};
  excel.environment = changedEnvironment(gRig.environment);
  excel.stdinPath = directory + "/commands";
  excel.stdoutPath = directory + "/held";
  std::string error;
  const pid_t holder = spawnProcess(excel, error);
  ASSERT_GT(holder, 0) << error;
  const long long deadline = monotonicMs() + 60000;
  while (readWholeFile(directory + "/held").find("=> ") == std::string::npos &&
         monotonicMs() < deadline)
    usleep(50 * 1000);
  ASSERT_NE(readWholeFile(directory + "/held").find(" => ok"), std::string::npos)
      << readWholeFile(directory + "/held");

  const ProcessResult held = runExe({"--journal", shownJournal, ports[0]});
  EXPECT_EQ(held.exitCode, 0) << held.err;
  const std::string pending = shownJournal + ".pending.csv";
  EXPECT_EQ(held.err, "zort-read: " + shownJournal +
                          utf8(u8": журнал занят другой программой, строка сохранена в ") +
                          pending + "\n");
  EXPECT_EQ(readWholeFile(journal), before);
  const std::string waiting = readWholeFile(journal + ".pending.csv");
  const std::string header = before.substr(0, before.find("\r\n") + 2);
  EXPECT_EQ(waiting.rfind(header, 0), 0u) << waiting;

  ASSERT_TRUE(writeWholeFile(directory + "/let-go", ""));
  EXPECT_EQ(waitExit(holder, 30000), 0);
  const ProcessResult after = runExe({"--journal", shownJournal, ports[0]});
  EXPECT_EQ(after.exitCode, 0) << after.err;
  EXPECT_EQ(after.err, "zort-read: " + shownJournal + utf8(u8": перенесены строки из ") + pending +
                           ": 1\n");
  const std::string text = readWholeFile(journal);
  EXPECT_EQ(text.rfind(before + waiting.substr(header.size()), 0), 0u) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
  EXPECT_EQ(access((journal + ".pending.csv").c_str(), F_OK), -1) << "the side file is gone";
}

// zort-read.exe as a station: the instrument on COM5 is read once, and
// Ctrl-C (SIGINT, which Wine gives the program as CTRL_C_EVENT) ends the
// station with its summary.
TEST_F(WineLineTest, StationReadsAnArrivalAndCtrlCEndsIt) {
  startPorts({{instrumentScenario(), 0, {}, ""}});
  directory = makeTemporaryDirectory();
  SpawnSpec station;
  station.argv = {"wine", kExe, "--watch", "--json", ports[0]};
  station.environment = changedEnvironment(gRig.environment);
  station.stdoutPath = directory + "/out";
  station.stderrPath = directory + "/err";
  std::string error;
  const pid_t pid = spawnProcess(station, error);
  ASSERT_GT(pid, 0) << error;
  const long long deadline = monotonicMs() + 60000;
  while (readWholeFile(directory + "/out").find('\n') == std::string::npos && monotonicMs() < deadline)
    usleep(50 * 1000);
  usleep(1000 * 1000);  // some exchanges more: the instrument stays, no second read
  kill(pid, SIGINT);
  EXPECT_EQ(waitExit(pid, 20000), 0) << readWholeFile(directory + "/err");
  const std::string out = readWholeFile(directory + "/out");
  const std::string head = expectedJson(ports[0], 0, instrumentValues(), ", \"verdict\": \"pass\"");
  EXPECT_EQ(out.rfind(head.substr(0, head.size() - 2) + ", \"time\": \"", 0), 0u) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  EXPECT_TRUE(readWholeFile(directory + "/err").ends_with(utf8(u8"итого: 1 годен, 0 не годен, 0 ошибка\n")))
      << readWholeFile(directory + "/err");
}

TEST_F(WineLineTest, AnUnwritableJournalExitsWith9AfterTheValues) {
  startPorts({{instrumentScenario(), 0, {}, ""}});
  directory = makeTemporaryDirectory();
  const std::string journal = windowsPath(directory + "/no-such-folder/journal.csv");
  const ProcessResult result = runExe({"--json", "--journal", journal, ports[0]});
  EXPECT_EQ(result.exitCode, 9) << result.err;
  EXPECT_EQ(result.out, expectedJson(ports[0], 0, instrumentValues()));
  EXPECT_EQ(result.err.rfind("zort-read: " + journal + utf8(u8": Не удалось записать.файл ("), 0),
            0u)
      << result.err;  // Windows' own words, in UTF-8 like the rest of the line (this prefix's
  // system speaks Russian).
  EXPECT_EQ(result.err.substr(result.err.find(" (")), utf8(u8" (Путь не найден)\n")) << result.err;
}

TEST_F(WineReaderTest, OpensPortsAboveCom9) {
  startSimOn("COM12", instrumentScenario());
  const ProcessResult result = runExe({"--json", "COM12"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, expectedJson("COM12", 0, instrumentValues()));
}

// What zort-read.exe asked of the line shows in its termios
// (tests/support/line_mode.h).
TEST_F(WineReaderTest, SetsTheLineTo1200Baud8N1WithoutFlowControlAndDistinctXonXoff) {
  startSimOn("COM5", instrumentScenario());
  const int line = openLineWithOtherSettings(sim.linePath);
  ASSERT_GE(line, 0) << sim.linePath;
  const ProcessResult result = runExe({"--json", "COM5"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(instrumentLineDifferences(line), "");
}

// The line goes away when the third request has gone out (as when an
// adapter is pulled out). Wine's ReadFile on a line that has gone brings 0
// characters without failing (the native test shows a refused read), so the
// exchange ends as no answer; its second try's WriteFile fails, and Windows'
// words for it reach the trace and the message.
TEST_F(WineReaderTest, ALineThatGoesAwayIsToldInTheSystemsWords) {
  startSimOn("COM5", instrumentScenario(2, "silent hangup=0"));
  const ProcessResult result = runExe({"--trace", "--json", "--retries", "1", "COM5"});
  EXPECT_EQ(result.exitCode, 6) << result.err;
  EXPECT_EQ(result.out, expectedJson("COM5", 6, valuesBefore(2)));
  // This prefix's system speaks Russian.
  EXPECT_NE(result.err.find(utf8(u8" ms write failed: Устройство не готово\n")), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find(utf8(u8"\nzort-read: COM5: Ошибка отправки данных. (Устройство не готово)\n")),
            std::string::npos)
      << result.err;
}

TEST_F(WineReaderTest, PrintsTheLabelledValuesInUtf8) {
  startSimOn("COM5", instrumentScenario());
  const ProcessResult result = runExe({"COM5"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, expectedValueLines());
}

TEST_F(WineReaderTest, AnUnmappedPortFailsToOpen) {
  const ProcessResult result = runExe({"--json", "COM7"});
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_EQ(result.out, expectedJson("COM7", 2, ValueTexts{}));
  // The status text, then Windows' own reason in brackets.
  const std::string message = reinterpret_cast<const char*>(u8"zort-read: COM7: Не удалось открыть порт. (");
  EXPECT_EQ(result.err.rfind(message, 0), 0u) << result.err;
  EXPECT_GT(result.err.size(), message.size() + 2) << result.err;
  EXPECT_EQ(result.err.substr(result.err.size() - 2), ")\n") << result.err;
}

// On a real Wine console (cmd on a pseudo-terminal, through script): the
// values and the progress line read right, and the console's code page is
// the same after the run as before it (chcp before and after, in one cmd).
TEST_F(WineReaderTest, OnAConsoleTheTextReadsRightAndTheCodePageStays) {
  startSimOn("COM5", instrumentScenario());
  ProcessOptions options;
  options.environment = gRig.environment;
  options.timeoutMs = kRunTimeoutMs;
  const std::string command = "wine cmd /c 'chcp & " + windowsPath(kExe) + " COM5 & chcp'";
  const ProcessResult result = runProcess({"script", "-qc", command, "/dev/null"}, options);
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  const std::string& shown = result.out;  // the terminal's bytes: UTF-8, CR LF
  EXPECT_EQ(shown.find("\xEF\xBF\xBD"), std::string::npos) << "no U+FFFD:\n" << shown;
  const std::string lines = expectedValueLines();
  for (size_t start = 0, end = 0; start < lines.size(); start = end + 1) {
    end = lines.find('\n', start);
    const std::string line = lines.substr(start, end - start);
    EXPECT_NE(shown.find(line + "\r"), std::string::npos) << line << "\n" << shown;
  }
  EXPECT_NE(shown.find(utf8(u8"Ждём!...")), std::string::npos) << shown;
  const std::regex codePage(utf8(u8"страница: ([0-9]+)"));
  std::vector<std::string> pages;
  for (auto it = std::sregex_iterator(shown.begin(), shown.end(), codePage);
       it != std::sregex_iterator(); ++it)
    pages.push_back((*it)[1]);
  ASSERT_EQ(pages.size(), 2u) << shown;
  EXPECT_EQ(pages[0], "866") << "the Russian system's OEM code page";
  EXPECT_EQ(pages[1], pages[0]) << shown;
}

// Device entries as Windows records them, imported into the prefix's
// registry: Wine's SetupAPI lists them, with their friendly names.
std::string deviceEntries(bool present) {
  std::string text = "REGEDIT4\r\n";
  const char* const kEnum = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\";
  struct Device {
    const char* key;
    const char* classGuid;
    const char* friendlyName;
    const char* port;
  };
  const Device devices[] = {
      {"BTHENUM\\ZORTTEST_COM6", "{4D36E978-E325-11CE-BFC1-08002BE10318}",
       "Standard Serial over Bluetooth link (COM6)", "COM6"},
      {"ROOT\\ZORTTEST_COM8", "{4D36E96D-E325-11CE-BFC1-08002BE10318}", "Standard Modem (COM8)",
       "COM8"},
  };
  for (const Device& device : devices) {
    const std::string key = std::string(kEnum) + device.key;
    if (!present) {
      text += "\r\n[-" + key + "]\r\n";
      continue;
    }
    text += "\r\n[" + key + "\\0000]\r\n\"ClassGUID\"=\"" + device.classGuid +
            "\"\r\n\"FriendlyName\"=\"" + device.friendlyName + "\"\r\n";
    text += "\r\n[" + key + "\\0000\\Device Parameters]\r\n\"PortName\"=\"" + device.port +
            "\"\r\n";
  }
  return text;
}

bool importRegistry(const std::string& directory, const std::string& text) {
  const std::string file = directory + "/devices.reg";
  return writeWholeFile(file, text) &&
         runWineProgram(gRig, "regedit", {"/S", windowsPath(file)}, kRunTimeoutMs).exitCode == 0;
}

// --all reads neither a Bluetooth link (BTHENUM) nor a modem; --list shows
// them, by their devices' names.
TEST_F(WineReaderTest, ReadingAllPortsLeavesOutBluetoothLinksAndModems) {
  // The other ports lead nowhere: a line an earlier test left them on may
  // be COM5's now.
  std::string error;
  for (const char* port : {"COM12", "COM6", "COM8"})
    ASSERT_TRUE(connectComPort(gRig, port, "/dev/zort-no-line", error)) << error;
  startSimOn("COM5", instrumentScenario());
  directory = makeTemporaryDirectory();
  ASSERT_TRUE(importRegistry(directory, deviceEntries(true)));
  const ProcessResult list = runExe({"--list"});
  const ProcessResult all = runExe({"--all", "--json"});
  EXPECT_TRUE(importRegistry(directory, deviceEntries(false)));
  EXPECT_NE(list.out.find("COM6  Standard Serial over Bluetooth link\n"), std::string::npos)
      << list.out;
  EXPECT_NE(list.out.find("COM8  Standard Modem\n"), std::string::npos) << list.out;
  EXPECT_NE(all.out.find(expectedJson("COM5", 0, instrumentValues())), std::string::npos)
      << all.out;
  EXPECT_EQ(all.out.find("\"COM6\""), std::string::npos) << all.out;
  EXPECT_EQ(all.out.find("\"COM8\""), std::string::npos) << all.out;
  EXPECT_NE(all.out.find("\"COM12\""), std::string::npos) << "the other ports are read\n"
                                                            << all.out;
}

// Each once, COM5 before COM12 whatever order Wine lists them in.
TEST_F(WineReaderTest, ListsTheMappedPortsInNaturalOrder) {
  const ProcessResult result = runExe({"--list"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  std::vector<size_t> at;
  for (const auto& com : kComPorts) {
    const std::string line = com + "\n";
    at.push_back(result.out.find(line));
    EXPECT_NE(at.back(), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find(line, at.back() + 1), std::string::npos) << result.out;
  }
  EXPECT_LT(at[0], at[1]) << result.out;
}

TEST_F(WineReaderTest, AUsageErrorExitsWith64) {
  const ProcessResult result = runExe({"--bogus"});
  EXPECT_EQ(result.exitCode, 64);
  EXPECT_EQ(lineCount(result.err), 1u) << result.err;
}

TEST_F(WineReaderTest, PrintsTheProjectsVersion) {
  const ProcessResult result = runExe({"--version"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "zort-read " ZORT_VERSION "\n");
}

// The runs that come out the same natively, here through Wine's serial
// layer on COM5.
bool connectCom5(const std::string& linePath, std::string& port, std::string& error) {
  port = "COM5";
  return connectComPort(gRig, port, linePath, error);
}

class WineReaderRowTest : public testing::TestWithParam<ReaderRow> {};

TEST_P(WineReaderRowTest, ReadsTheTestInstrument) {
  checkReaderRow(GetParam(), {connectCom5, runExe, windowsPath, "zort-read.exe under Wine"});
}

INSTANTIATE_TEST_SUITE_P(Rows, WineReaderRowTest, testing::ValuesIn(readerRows()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv) {
  return runWineTests(argc, argv, gRig, kExe, "reader", kComPorts);
}
