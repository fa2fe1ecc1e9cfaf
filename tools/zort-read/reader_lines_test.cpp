// zort-read on a production line, natively: several instruments at once,
// --expect, --retries and the --journal, against zort-sims on
// pseudo-terminals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/sim_port.h"
#include "os/child_process.h"
#include "tests/support/test_instrument.h"
#include "tests/support/process_run.h"
#include "tests/support/reader_cases.h"
#include "tests/support/golden_texts.h"
#include "serial/discovery_posix.h"
#include "tools/zort-read/read_instrument.h"

namespace {

constexpr int kRunTimeoutMs = 60000;
constexpr const char* kMissingPort = "/dev/zort-no-such-port";

ProcessResult runReader(const std::vector<std::string>& arguments) {
  return runNativeReader(ZORT_READ_PATH, arguments, kRunTimeoutMs);
}

using golden::utf8;

// The sims of a case and the port names that reach them.
class LineTest : public testing::Test {
 protected:
  void startPorts(const std::vector<PortCase>& cases) {
    std::string error;
    ASSERT_TRUE(startCaseSims(sims, cases, error)) << error;
    ports.clear();
    for (const auto& sim : sims.sims)
      ports.push_back(sim.linePath.empty() ? kMissingPort : sim.linePath);
  }
  void startInstruments(size_t count, const std::string& scenario = instrumentScenario()) {
    startPorts(std::vector<PortCase>(count, PortCase{scenario, 0, {}, ""}));
  }
  void TearDown() override {
    stopCaseSims(sims);
    removeDirectory(directory);
  }
  std::string journalIn() {
    directory = makeTemporaryDirectory();
    return directory + "/journal.csv";
  }

  CaseSims sims;
  std::vector<std::string> ports;
  std::string directory;
};

class LineCaseTest : public LineTest, public testing::WithParamInterface<LineCase> {};

// JSON Lines in the order the ports were given; the exit status is the
// largest among the ports, 11 for a difference from --expect.
TEST_P(LineCaseTest, PrintsAJsonLinePerPortInOrder) {
  const LineCase& c = GetParam();
  startPorts(c.ports);
  const ProcessResult result = runReader(withPorts(c.arguments, ports));
  EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
  EXPECT_EQ(result.out, expectedJsonLines(c, ports));
}

INSTANTIATE_TEST_SUITE_P(Cases, LineCaseTest, testing::ValuesIn(lineCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineTest, PlainOutputHasABlockPerPortHeadedByItsName) {
  startPorts({{instrumentScenario(), 0, {}, ""}, {kNoInstrument, 2, {}, ""}});
  const ProcessResult result = runReader({ports[0], ports[1], "--expect", "checksum=ABCD"});
  EXPECT_EQ(result.exitCode, 11) << result.err;
  EXPECT_EQ(result.out, "[" + ports[0] + "]\n" + expectedValueLines() +
                            "checksum: ABCD expected, 72C0 read\n\n[" + ports[1] + "]\n\n");
  EXPECT_EQ(result.err, "zort-read: " + ports[1] +
                            utf8(u8": Не удалось открыть порт. (No such file or directory)\n"));
}

TEST_F(LineTest, RetriesShowEveryTryInTheTrace) {
  startPorts({{instrumentScenario(1, "silent") + kTestInstrumentLines[1] + "\n", 0, {}, ""}});
  const ProcessResult result = runReader({"--trace", "--retries", "2", ports[0]});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.err.find(" ms try 2 after status 7\n"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find(" ms try 3 "), std::string::npos) << result.err;
}

// Eight instruments at once take about as long as one: each is read by a
// worker of its own (scripts/bench measures it against paced lines).
TEST_F(LineTest, EightInstrumentsAtOnce) {
  startInstruments(8);
  std::vector<std::string> arguments = {"--trace", "--json"};
  arguments.insert(arguments.end(), ports.begin(), ports.end());
  const ProcessResult result = runReader(arguments);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(lineCount(result.out), 8u);
  const ProcessResult one = runReader({"--trace", "--json", ports[0]});
  ASSERT_EQ(one.exitCode, 0) << one.err;
  const long long all = tracedCycleMs(result.err), single = tracedCycleMs(one.err);
  std::printf("eight at once: %lld ms, one: %lld ms\n", all, single);
  // Unpaced, a cycle is its six 40 ms silences; eight in turn would take 8 times that.
  EXPECT_LT(all, 3 * single + 100) << result.err;
}

// Reports are written one after another; two instruments with one serial
// number, read within the same second, keep a report each.
TEST_F(LineTest, EveryInstrumentKeepsItsReport) {
  startInstruments(3);
  journalIn();
  const ProcessResult result = runReader({"--report", directory, ports[0], ports[1], ports[2]});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  // In one second: ZT-004217_<time>.txt, then _2.txt and _3.txt.
  const auto files = filesIn(directory);
  ASSERT_EQ(files.size(), 3u);
  for (const auto& file : files) {
    EXPECT_EQ(file.rfind("ZT-004217_", 0), 0u) << file;
    EXPECT_EQ(readWholeFile(directory + "/" + file), expectedReportText()) << file;
  }
}

// Two processes writing a report of the same name at the same second keep
// two files: a name that is taken, by any process, gives the next free one.
TEST_F(LineTest, TwoProcessesKeepTheirReportsOfOneName) {
  startInstruments(2);
  journalIn();
  std::vector<pid_t> readers;
  for (const auto& port : ports)
    readers.push_back(startProcess({ZORT_READ_PATH, "--report", directory, port}, ProcessOptions{}));
  for (const pid_t pid : readers) EXPECT_EQ(waitProcess(pid, kRunTimeoutMs), 0);
  const auto files = filesIn(directory);
  ASSERT_EQ(files.size(), 2u);
  for (const auto& file : files)
    EXPECT_EQ(readWholeFile(directory + "/" + file), expectedReportText()) << file;
}

// A report never replaces a file that is there before the run: every name
// the next seconds could give is taken, and the report takes a "_2" name.
TEST_F(LineTest, AReportNeverReplacesAnEarlierFile) {
  startInstruments(1);
  journalIn();
  const time_t now = time(nullptr);
  std::vector<std::string> earlier;
  for (time_t second = now; second < now + 10; ++second) {
    tm local{};
    localtime_r(&second, &local);
    char name[64];
    std::snprintf(name, sizeof name, "ZT-004217_%2d-%02d-%04d_%02d_%02d_%02d.txt", local.tm_mday,
                  local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec);
    ASSERT_TRUE(writeWholeFile(directory + "/" + name, "earlier"));
    earlier.push_back(name);
  }
  const ProcessResult result = runReader({"--report", directory, ports[0]});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  for (const auto& name : earlier) EXPECT_EQ(readWholeFile(directory + "/" + name), "earlier");
  const auto files = filesIn(directory);
  ASSERT_EQ(files.size(), earlier.size() + 1);
  std::string written;
  for (const auto& file : files)
    if (std::find(earlier.begin(), earlier.end(), file) == earlier.end()) written = file;
  EXPECT_EQ(written.size(), earlier[0].size() + 2) << written;  // "<name>_2.txt"
  EXPECT_NE(written.find("_2.txt"), std::string::npos) << written;
  EXPECT_EQ(readWholeFile(directory + "/" + written), expectedReportText());
  EXPECT_NE(result.err.find("report " + directory + "/" + written), std::string::npos)
      << result.err;
}

// --all over a made-up machine: a /dev with two USB adapters, given out of
// order, whose nodes lead to zort-sims, and a legacy ttyS node without a
// UART; /sys without anything. The adapters are read in natural order, the
// bare ttyS node is left out. In the process, through the listing --list
// uses, with the made-up roots.
std::string gFakeDev;
std::string gFakeSys;

std::vector<PortInfo> fakeMachinePorts() {
  std::vector<PortInfo> ports;
  listPortsUnder(gFakeDev, gFakeSys, ports);
  return ports;
}

TEST_F(LineTest, AllReadsEveryPortOfTheMachineInNaturalOrder) {
  startInstruments(2);
  directory = makeTemporaryDirectory();
  gFakeDev = directory + "/dev";
  gFakeSys = directory + "/sys";
  ASSERT_EQ(mkdir(gFakeDev.c_str(), 0700), 0);
  ASSERT_EQ(mkdir(gFakeSys.c_str(), 0700), 0);
  ASSERT_EQ(symlink(ports[0].c_str(), (gFakeDev + "/ttyUSB10").c_str()), 0);
  ASSERT_EQ(symlink(ports[1].c_str(), (gFakeDev + "/ttyUSB2").c_str()), 0);
  ASSERT_TRUE(writeWholeFile(gFakeDev + "/ttyS0", ""));
  ReaderOptions options;
  options.allPorts = true;
  options.json = true;
  testing::internal::CaptureStdout();
  const int status = readInstrument(options, fakeMachinePorts);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, expectedJson(gFakeDev + "/ttyUSB2", 0, instrumentValues()) +
                     expectedJson(gFakeDev + "/ttyUSB10", 0, instrumentValues()));
  for (const char* node : {"/ttyUSB10", "/ttyUSB2", "/ttyS0"}) unlink((gFakeDev + node).c_str());
  rmdir(gFakeDev.c_str());
  rmdir(gFakeSys.c_str());
}

// A machine without a serial port: --all says so and ends with 1.
TEST_F(LineTest, AllOnAMachineWithoutPortsEndsWith1) {
  directory = makeTemporaryDirectory();
  gFakeDev = directory;
  gFakeSys = directory;
  ReaderOptions options;
  options.allPorts = true;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int status = readInstrument(options, fakeMachinePorts);
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, utf8(u8"zort-read: Не найден ни один COM порт\n"));
}

// --all reads what --list finds, in its order (on this machine: whatever
// serial ports it has, answering or not).
TEST(ReaderAll, ReadsEveryListedPort) {
  const ProcessResult list = runReader({"--list"});
  const ProcessResult all = runReader({"--all", "--json"});
  if (list.exitCode == 1) {
    EXPECT_EQ(all.exitCode, 1) << "no port found";
    EXPECT_EQ(all.out, "");
    return;
  }
  std::istringstream listed(list.out), read(all.out);
  std::string port, object;
  while (std::getline(listed, port)) {
    port = port.substr(0, port.find("  "));  // the name, before what the system knows of it
    ASSERT_TRUE(std::getline(read, object)) << "no object for " << port;
    EXPECT_EQ(object.rfind("{\"port\": \"" + port + "\", ", 0), 0u) << object;
  }
  EXPECT_FALSE(std::getline(read, object)) << object;
}

std::vector<std::string> rowsOf(const std::string& journal) {
  std::vector<std::string> rows;
  size_t start = 0;
  for (size_t end; (end = journal.find("\r\n", start)) != std::string::npos; start = end + 2)
    rows.push_back(journal.substr(start, end - start));
  EXPECT_EQ(start, journal.size()) << "every row ends with CR LF";
  return rows;
}

const std::string kHeader =
    utf8(u8"\uFEFFВремя;Станция;Оператор;Порт;Вердикт;Код;Сообщение;Версия ПО;Сборка;"
         u8"Контр. сумма;Сетевой адрес;ДУ (мм);Зав. N;Профиль;Попытки;Версия программы");

// The time with its UTC offset, then the rest as given.
bool isTimedRow(const std::string& row, const std::string& rest) {
  // 2026-12-10T14:49:30+03:00;REST
  return row.size() > 26 && row[4] == '-' && row[10] == 'T' && (row[19] == '+' || row[19] == '-') &&
         row[22] == ':' && row[25] == ';' && row.substr(26) == rest;
}

std::string hostName() {
  char name[256] = {};
  gethostname(name, sizeof name - 1);
  return name;
}

// The station, operator and port columns as a run without --station and
// --operator fills them.
bool isRowOf(const std::string& row, const std::string& port, const std::string& rest) {
  return isTimedRow(row, hostName() + ";;" + port + ";" + rest);
}

const std::string kVersion = ZORT_VERSION;
const std::string kGoodRow = utf8(u8"pass;0;OK!;22;2025;72C0;1;50;ZT-004217;;1;") + kVersion;

TEST_F(LineTest, JournalGetsAHeaderWhenNewAndARowPerPort) {
  startPorts({{instrumentScenario(), 0, {}, ""},
              {instrumentScenario(3, "type=11 text=A;B\"C"), 0, {}, ""},
              {instrumentScenario(4, "silent"), 7, {}, ""}});
  const std::string journal = journalIn();
  const ProcessResult first =
      runReader({"--journal", journal, "--station", "line 2", "--operator", utf8(u8"Иванов"),
                 "--retries", "1", ports[0], ports[1], ports[2]});
  EXPECT_EQ(first.exitCode, 7) << first.err;
  const ProcessResult second = runReader({"--journal", journal, ports[0]});
  EXPECT_EQ(second.exitCode, 0) << second.err;

  const auto rows = rowsOf(readWholeFile(journal));
  ASSERT_EQ(rows.size(), 5u) << readWholeFile(journal);
  EXPECT_EQ(rows[0], kHeader);
  const std::string given = utf8(u8"line 2;Иванов;");
  EXPECT_TRUE(isTimedRow(rows[1], given + ports[0] + ";" + kGoodRow)) << rows[1];
  EXPECT_TRUE(isTimedRow(rows[2], given + ports[1] + ";pass;0;OK!;22;2025;72C0;1;50;\"A;B\"\"C\";;1;" +
                                      kVersion))
      << rows[2];
  // Two tries of the bore's exchange, both unanswered.
  EXPECT_TRUE(isTimedRow(rows[3], given + ports[2] +
                                      utf8(u8";error;7;Нет ответа.;22;2025;72C0;;;ZT-004217;;2;") +
                                      kVersion))
      << rows[3];
  EXPECT_TRUE(isRowOf(rows[4], ports[0], kGoodRow)) << "appended: " << rows[4];
}

// A journal started without --expect and appended with it keeps its width:
// the profile has a column of its own, empty when nothing is expected.
TEST_F(LineTest, JournalRowsKeepTheHeadersWidthWithAndWithoutExpect) {
  startPorts({{instrumentScenario(), 0, {}, ""}, {kNoInstrument, 2, {}, ""}});
  const std::string journal = journalIn();
  ASSERT_EQ(runReader({"--journal", journal, ports[0]}).exitCode, 0);
  const ProcessResult result =
      runReader({"--journal", journal, "--expect", "build=2024", ports[0], ports[1]});
  EXPECT_EQ(result.exitCode, 11) << result.err;
  const auto rows = rowsOf(readWholeFile(journal));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], kHeader);
  EXPECT_TRUE(isRowOf(rows[1], ports[0], kGoodRow)) << rows[1];
  EXPECT_TRUE(isRowOf(rows[2], ports[0],
                      utf8(u8"fail;0;OK!;22;2025;72C0;1;50;ZT-004217;build=2024;1;") + kVersion))
      << rows[2];
  EXPECT_TRUE(isRowOf(rows[3], ports[1],
                      utf8(u8"error;2;Не удалось открыть порт.;;;;;;;build=2024;;") + kVersion))
      << rows[3];
  const auto width = [](const std::string& row) { return std::count(row.begin(), row.end(), ';'); };
  for (size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(width(rows[i]), width(kHeader)) << rows[i];
}

// A journal of an earlier version (or any other file) is never appended
// to: the values come out, the file stays as it was, exit status 9.
TEST_F(LineTest, AJournalOfAnotherFormatIsLeftAsItWas) {
  startInstruments(1);
  const std::string journal = journalIn();
  const std::string earlier =
      utf8(u8"\uFEFFВремя;Порт;Код;Сообщение;Версия ПО;Сборка;Контр. сумма;Сетевой адрес;"
           u8"ДУ (мм);Зав. N\r\n2026-03-07T09:05:01;COM3;0;OK!;22;2025;72C0;1;50;ZT-1\r\n");
  ASSERT_TRUE(writeWholeFile(journal, earlier));
  const ProcessResult result = runReader({"--json", "--journal", journal, ports[0]});
  EXPECT_EQ(result.exitCode, 9) << result.err;
  EXPECT_EQ(result.out, expectedJson(ports[0], 0, instrumentValues()));
  EXPECT_EQ(result.err, "zort-read: " + journal +
                            utf8(u8": Не удалось записать.файл (журнал другого формата)\n"));
  EXPECT_EQ(readWholeFile(journal), earlier);
  EXPECT_EQ(filesIn(directory).size(), 1u) << "no side file either";
}

// While another program keeps the journal locked, the rows wait beside it
// and the run still ends with 0; the next run moves them in, in order.
TEST_F(LineTest, NoRowIsLostWhileAnotherProgramHoldsTheJournal) {
  startInstruments(2);
  const std::string journal = journalIn();
  ASSERT_EQ(runReader({"--journal", journal, ports[0]}).exitCode, 0);
  const int hold = open(journal.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(hold, 0);
  ASSERT_EQ(flock(hold, LOCK_EX), 0);
  const ProcessResult locked = runReader({"--journal", journal, ports[1], ports[0]});
  EXPECT_EQ(locked.exitCode, 0) << locked.err;
  const std::string pending = journal + ".pending.csv";
  const std::string told = "zort-read: " + journal +
                           utf8(u8": журнал занят другой программой, строка сохранена в ") +
                           pending + "\n";
  EXPECT_EQ(locked.err, told + told);
  EXPECT_EQ(rowsOf(readWholeFile(journal)).size(), 2u) << "the journal is not touched";
  close(hold);

  const ProcessResult after = runReader({"--journal", journal, ports[1]});
  EXPECT_EQ(after.exitCode, 0) << after.err;
  EXPECT_EQ(after.err, "zort-read: " + journal + utf8(u8": перенесены строки из ") + pending +
                           ": 2\n");
  const auto rows = rowsOf(readWholeFile(journal));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], kHeader);
  for (const auto& [row, port] : {std::pair{1, 0}, {2, 1}, {3, 0}, {4, 1}})
    EXPECT_TRUE(isRowOf(rows[row], ports[port], kGoodRow)) << row << ": " << rows[row];
  EXPECT_EQ(access(pending.c_str(), F_OK), -1) << "the side file is gone";
}

// Each row reaches the file in one append: two processes writing at once
// leave one header and whole rows.
TEST_F(LineTest, TwoProcessesShareAJournal) {
  constexpr size_t kPerProcess = 6;
  startInstruments(2 * kPerProcess);
  const std::string journal = journalIn();
  std::vector<pid_t> readers;
  for (size_t p = 0; p < 2; ++p) {
    std::vector<std::string> command = {ZORT_READ_PATH, "--journal", journal};
    command.insert(command.end(), ports.begin() + static_cast<long>(p * kPerProcess),
                   ports.begin() + static_cast<long>((p + 1) * kPerProcess));
    readers.push_back(startProcess(command, ProcessOptions{}));
  }
  for (const pid_t pid : readers) EXPECT_EQ(waitProcess(pid, kRunTimeoutMs), 0);
  const auto rows = rowsOf(readWholeFile(journal));
  ASSERT_EQ(rows.size(), 1 + 2 * kPerProcess) << readWholeFile(journal);
  EXPECT_EQ(rows[0], kHeader);
  std::vector<std::string> seen;
  for (size_t i = 1; i < rows.size(); ++i) {
    const size_t portStart = 26 + hostName().size() + 2;
    const size_t portEnd = rows[i].find(';', portStart);
    ASSERT_NE(portEnd, std::string::npos) << rows[i];
    const std::string port = rows[i].substr(portStart, portEnd - portStart);
    EXPECT_TRUE(isRowOf(rows[i], port, kGoodRow)) << rows[i];
    seen.push_back(port);
  }
  std::sort(seen.begin(), seen.end());
  std::vector<std::string> expected = ports;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(seen, expected);
}

// Ctrl-C during a read of several ports: every port stops after the
// exchange in progress and is printed and journalled with status 10. Paced
// lines: it runs alone, with the tests that measure time.
TEST_F(LineTest, PacedCtrlCLosesNoPort) {
  // Paced as 1200-baud lines: a read takes some 2 s.
  constexpr size_t kPorts = 3;
  std::string error;
  for (size_t i = 0; i < kPorts; ++i) {
    SimProcess sim;
    std::string scenarioPath;
    ASSERT_TRUE(startScenarioSim(sim, scenarioPath, instrumentScenario(), {}, error)) << error;
    sims.sims.push_back(sim);
    sims.scenarioPaths.push_back(scenarioPath);
    ports.push_back(sim.linePath);
  }
  const std::string journal = journalIn();
  SpawnSpec spec;
  // A try more: a loaded machine may hold a reply back past its 40 ms end.
  spec.argv = {ZORT_READ_PATH, "--json",   "--retries", "2",     "--journal",
               journal,        ports[0], ports[1],    ports[2]};
  spec.stdoutPath = directory + "/out";
  spec.stderrPath = directory + "/err";
  const pid_t reader = spawnProcess(spec, error);
  ASSERT_GT(reader, 0) << error;
  usleep(700 * 1000);
  kill(reader, SIGINT);
  const long long interrupted = monotonicMs();
  EXPECT_EQ(waitExit(reader, 10000), 10) << readWholeFile(directory + "/err");
  EXPECT_LT(monotonicMs() - interrupted, 1500) << "each port stops after one exchange";

  std::istringstream objects(readWholeFile(directory + "/out"));
  std::string object;
  for (const auto& port : ports) {
    ASSERT_TRUE(std::getline(objects, object));
    EXPECT_EQ(object.rfind("{\"port\": \"" + port + "\", \"status\": 10, \"message\": \"" +
                               utf8(u8"прервано") + "\", \"values\": [{\"code\": \"A\", \"key\": "
                               "\"version\", \"label\": \"" + utf8(u8"Версия ПО") +
                               "\", \"value\": \"22\"}",
                           0),
              0u)
        << object;
  }
  EXPECT_FALSE(std::getline(objects, object)) << object;
  const auto rows = rowsOf(readWholeFile(journal));
  ASSERT_EQ(rows.size(), 4u);
  for (size_t i = 0; i < ports.size(); ++i) {
    const std::string start = hostName() + ";;" + ports[i] + utf8(u8";error;10;прервано;22;");
    EXPECT_EQ(rows[i + 1].substr(26, start.size()), start) << rows[i + 1];
  }
  const std::string err = readWholeFile(directory + "/err");
  for (const auto& port : ports)
    EXPECT_NE(err.find("zort-read: " + port + utf8(u8": прервано\n")), std::string::npos) << err;
}

struct UnwritableJournal {
  const char* name;
  const char* path;  // under the test's folder
  const char* reason;
};

class UnwritableJournalTest : public LineTest,
                              public testing::WithParamInterface<UnwritableJournal> {};

// The values come out first; then the journal's failure, with the system's
// reason, and exit status 9.
TEST_P(UnwritableJournalTest, PrintsTheValuesThenExitsWith9) {
  startInstruments(1);
  journalIn();
  ASSERT_EQ(mkdir((directory + "/folder").c_str(), 0755), 0);
  const std::string journal = directory + "/" + GetParam().path;
  const ProcessResult result = runReader({"--json", "--journal", journal, ports[0]});
  EXPECT_EQ(result.exitCode, 9) << result.err;
  EXPECT_EQ(result.out, expectedJson(ports[0], 0, instrumentValues()));
  EXPECT_EQ(result.err, "zort-read: " + journal + utf8(u8": Не удалось записать.файл (") +
                            GetParam().reason + ")\n");
  rmdir((directory + "/folder").c_str());
}

const UnwritableJournal kUnwritableJournals[] = {
    {"MissingFolder", "no-such-folder/journal.csv", "No such file or directory"},
    {"AFolder", "folder", "Is a directory"},
};

INSTANTIATE_TEST_SUITE_P(Journals, UnwritableJournalTest, testing::ValuesIn(kUnwritableJournals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
