// zort-read --watch, natively: a station whose instruments come and go.
// Each port is a link in the test's folder; an instrument is connected by a
// zort-sim started behind the link, and removed by stopping it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/golden_texts.h"
#include "tests/support/terminal_png.h"
#include "tests/support/sim_port.h"
#include "tests/support/test_instrument.h"
#include "os/child_process.h"
#include "tests/support/reader_cases.h"
#include "tests/wine/wine_rig.h"

namespace {

using golden::utf8;

constexpr int kArrivalMs = 10000;  // an arrival is read well within this

// A test instrument whose serial number differs from the one expected.
std::string otherSerialScenario() { return instrumentScenario(3, "type=11 text=ZT-9"); }

// The test instrument, but with no answer for the bore: its read fails.
std::string failingScenario() { return instrumentScenario(4, "silent"); }

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
  const long long deadline = monotonicMs() + timeoutMs;
  while (!condition()) {
    if (monotonicMs() > deadline) return false;
    usleep(20 * 1000);
  }
  return true;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// A pseudo-terminal that passes the bytes as written (no LF to CR LF).
bool openRawTerminal(int& screen, int& terminal) {
  if (openpty(&screen, &terminal, nullptr, nullptr, nullptr) != 0) return false;
  termios mode{};
  tcgetattr(terminal, &mode);
  cfmakeraw(&mode);
  return tcsetattr(terminal, TCSANOW, &mode) == 0;
}

// What a terminal has been sent so far; closes it.
std::string drain(int screen) {
  fcntl(screen, F_SETFL, O_NONBLOCK);
  std::array<char, 4096> chunk{};
  std::string shown;
  for (ssize_t got; (got = read(screen, chunk.data(), chunk.size())) > 0;)
    shown.append(chunk.data(), static_cast<size_t>(got));
  close(screen);
  return shown;
}

// A port of the station: a link whose target is the line of the sim
// connected to it, or nothing.
struct StationPort {
  std::string path;
  SimProcess sim;
  std::string scenarioPath;
};

class StationTest : public testing::Test {
 protected:
  void SetUp() override {
    directory = makeTemporaryDirectory("zort-station");
    ASSERT_FALSE(directory.empty());
  }
  void TearDown() override {
    if (station > 0) stopProcess(station, 2000);
    for (size_t port = 0; port < ports.size(); ++port) disconnect(port);
    removeDirectory(directory);
  }
  void addPorts(size_t count) {
    for (size_t i = 0; i < count; ++i)
      ports.push_back({directory + "/port" + std::to_string(ports.size() + 1), {}, ""});
  }
  // The instrument arrives: a sim behind the port's link, unpaced unless asked.
  void connect(size_t port, const std::string& scenario,
               const std::vector<std::string>& pace = {"--char-ms", "0"}) {
    std::string error;
    ASSERT_TRUE(startScenarioSim(ports[port].sim, ports[port].scenarioPath, scenario, pace, error))
        << error;
    const std::string link = ports[port].path + ".new";
    ASSERT_EQ(symlink(ports[port].sim.linePath.c_str(), link.c_str()), 0);
    ASSERT_EQ(rename(link.c_str(), ports[port].path.c_str()), 0);
  }
  // The link goes first: a pseudo-terminal's number is soon another
  // program's, and the station must not open that one through the link.
  void disconnect(size_t port) {
    unlink(ports[port].path.c_str());
    stopScenarioSim(ports[port].sim, ports[port].scenarioPath);
  }

  // The station on every port, its output into files; stderr on a pseudo-
  // terminal when terminalFd is given.
  void startStation(const std::vector<std::string>& options, int terminalFd = -1,
                    const std::vector<std::string>& environment = {}) {
    SpawnSpec spec;
    spec.argv = {ZORT_READ_PATH, "--watch"};
    spec.argv.insert(spec.argv.end(), options.begin(), options.end());
    // A loaded machine may hold an unpaced sim's reply back for more than
    // the 40 ms that end it; a try more keeps the verdicts the instruments'.
    spec.argv.insert(spec.argv.end(), {"--retries", "2"});
    for (const auto& port : ports) spec.argv.push_back(port.path);
    spec.environment = changedEnvironment(environment);
    spec.stdoutPath = directory + "/out";
    spec.stderrPath = directory + "/err";
    spec.stderrFd = terminalFd;
    std::string error;
    station = spawnProcess(spec, error);
    ASSERT_GT(station, 0) << error;
  }
  std::string out() const { return readWholeFile(directory + "/out"); }
  std::string err() const { return readWholeFile(directory + "/err"); }
  bool waitForLines(size_t count, int timeoutMs = kArrivalMs) {
    return waitFor([&] { return linesOf(out()).size() >= count; }, timeoutMs);
  }
  // Ctrl-C, and the station's exit status.
  int interrupt() {
    kill(station, SIGINT);
    const int status = waitExit(station, 10000);
    if (status != -2) station = -1;
    return status;
  }

  std::string directory;
  std::vector<StationPort> ports;
  pid_t station = -1;
};

// A slot's life: nothing while nothing answers, one read when the
// instrument appears, none while it stays, a new one after it has gone and
// come back.
TEST_F(StationTest, ReadsEachArrivalOnce) {
  addPorts(1);
  startStation({});
  usleep(600 * 1000);
  EXPECT_EQ(out(), "") << "nothing is connected";
  connect(0, instrumentScenario());
  ASSERT_TRUE(waitForLines(1)) << err();
  // Some six exchanges while it stays connected.
  usleep(1500 * 1000);
  EXPECT_EQ(linesOf(out()).size(), 1u) << out();
  disconnect(0);
  usleep(600 * 1000);
  connect(0, instrumentScenario());
  ASSERT_TRUE(waitForLines(2)) << err();
  EXPECT_EQ(interrupt(), 0) << err();
  const std::string line = ports[0].path + ": pass ZT-004217";
  EXPECT_EQ(out(), line + "\n" + line + "\n");
  EXPECT_TRUE(err().ends_with(utf8(u8"итого: 2 годен, 0 не годен, 0 ошибка\n"))) << err();
}

// Two slots whose instruments arrive at different times; a pass, a fail and
// an error, in JSON and in the journal; the exit status is the largest.
TEST_F(StationTest, VerdictsOfTwoSlotsInJsonAndInTheJournal) {
  addPorts(2);
  const std::string journal = directory + "/journal.csv";
  startStation({"--json", "--journal", journal, "--station", "line 1", "--operator", "Petrov",
                "--expect", "serial=ZT-004217"});
  connect(0, instrumentScenario());
  ASSERT_TRUE(waitForLines(1)) << err();
  connect(1, otherSerialScenario());
  ASSERT_TRUE(waitForLines(2)) << err();
  disconnect(0);
  connect(0, failingScenario());
  ASSERT_TRUE(waitForLines(3)) << err();
  EXPECT_EQ(interrupt(), 11) << err();
  EXPECT_TRUE(err().ends_with(utf8(u8"итого: 1 годен, 1 не годен, 1 ошибка\n"))) << err();

  const auto lines = linesOf(out());
  ASSERT_EQ(lines.size(), 3u) << out();
  ValueTexts otherValues = instrumentValues();
  otherValues[kSerialNumberPosition] = "ZT-9";
  const std::string match = ", \"match\": true, \"mismatches\": []";
  const std::string mismatch =
      ", \"match\": false, \"mismatches\": [{\"key\": \"serial\", \"expected\": \"ZT-004217\", "
      "\"value\": \"ZT-9\"}]";
  const std::array<std::string, 3> objects = {
      expectedJson(ports[0].path, 0, instrumentValues(), match + ", \"verdict\": \"pass\""),
      expectedJson(ports[1].path, 0, otherValues, mismatch + ", \"verdict\": \"fail\""),
      expectedJson(ports[0].path, 7, valuesBefore(4),
                   ", \"match\": null, \"mismatches\": [], \"verdict\": \"error\""),
  };
  for (size_t i = 0; i < objects.size(); ++i) {
    // The object as a single read prints it, then the time it was read.
    const std::string head = objects[i].substr(0, objects[i].size() - 2) + ", \"time\": \"";
    EXPECT_EQ(lines[i].substr(0, head.size()), head) << lines[i];
    EXPECT_EQ(lines[i].size(), head.size() + 27) << lines[i];  // 2026-12-10T18:22:05+03:00"}
  }

  const auto rows = linesOf(readWholeFile(journal));
  ASSERT_EQ(rows.size(), 4u) << readWholeFile(journal);
  const std::string version = ZORT_VERSION;
  // Up to the tries, which a loaded machine may raise for a good line.
  const std::array<std::string, 3> ends = {
      ports[0].path + utf8(u8";pass;0;OK!;22;2025;72C0;1;50;ZT-004217;serial=ZT-004217;"),
      ports[1].path + utf8(u8";fail;0;OK!;22;2025;72C0;1;50;ZT-9;serial=ZT-004217;"),
      ports[0].path + utf8(u8";error;7;Нет ответа.;22;2025;72C0;;;ZT-004217;serial=ZT-004217;"),
  };
  // The silent bore was tried three times (--retries 2).
  const std::array<std::string, 3> tries = {"[123]", "[123]", "3"};
  for (size_t i = 0; i < ends.size(); ++i) {
    const std::string row = rows[i + 1].substr(26);
    const std::string head = "line 1;Petrov;" + ends[i];
    EXPECT_EQ(row.substr(0, head.size()), head) << rows[i + 1];
    EXPECT_TRUE(std::regex_match(row.substr(head.size()), std::regex(tries[i] + ";" + version + "\r")))
        << rows[i + 1];
  }
}

// Ctrl-C while an instrument is being read: the read finishes and is told.
// The tests on paced lines run alone, with the tests that measure time.
TEST_F(StationTest, PacedCtrlCLetsTheReadInProgressFinish) {
  addPorts(1);
  startStation({});
  connect(0, instrumentScenario(), {});  // paced as a 1200-baud line: some 2 s a read
  ASSERT_TRUE(waitFor([&] { return err().find(utf8(u8"чтение")) != std::string::npos; }, kArrivalMs))
      << err();
  EXPECT_EQ(interrupt(), 0) << err();
  EXPECT_EQ(out(), ports[0].path + ": pass ZT-004217\n");
  EXPECT_TRUE(err().ends_with(utf8(u8"итого: 1 годен, 0 не годен, 0 ошибка\n"))) << err();
}

// A second Ctrl-C does not wait for the read in progress.
TEST_F(StationTest, PacedSecondCtrlCEndsAtOnce) {
  addPorts(1);
  startStation({});
  connect(0, instrumentScenario(), {});  // paced: some 2 s a read
  ASSERT_TRUE(waitFor([&] { return err().find(utf8(u8"чтение")) != std::string::npos; }, kArrivalMs))
      << err();
  kill(station, SIGINT);
  usleep(50 * 1000);
  kill(station, SIGINT);
  const long long interrupted = monotonicMs();
  EXPECT_EQ(waitExit(station, 10000), 10);
  station = -1;
  EXPECT_LT(monotonicMs() - interrupted, 300) << "before the read's end";
  EXPECT_EQ(out(), "");
}

// A terminal's Ctrl-C goes to the whole foreground process group; the
// simulated instrument of --simulate is not in it and answers the exchange
// in progress, so the read ends as interrupted, not as unanswered.
TEST_F(StationTest, PacedCtrlCToTheProcessGroupLeavesTheSimulatedInstrument) {
  SpawnSpec spec;
  spec.argv = {ZORT_READ_PATH, "--simulate", "--json", "--retries", "2"};
  spec.stdoutPath = directory + "/out";
  spec.stderrPath = directory + "/err";
  spec.ownProcessGroup = true;
  std::string error;
  station = spawnProcess(spec, error);
  ASSERT_GT(station, 0) << error;
  // The simulated instrument is paced as a 1200-baud line: the first
  // value is read after some 300 ms.
  usleep(800 * 1000);
  kill(-station, SIGINT);
  EXPECT_EQ(waitExit(station, 10000), 10) << err();
  station = -1;
  EXPECT_EQ(out().rfind("{\"port\": \"/dev/pts/", 0), 0u) << out();
  EXPECT_NE(out().find(", \"status\": 10, "), std::string::npos) << out();
}

// One port, one user: a second reader is told who holds it.
TEST_F(StationTest, ASecondReaderOfAHeldPortIsRefused) {
  addPorts(1);
  connect(0, instrumentScenario());
  startStation({});
  ASSERT_TRUE(waitForLines(1)) << err();
  const ProcessResult second = runNativeReader(ZORT_READ_PATH, {ports[0].path}, 20000);
  EXPECT_EQ(second.exitCode, 2) << second.err;
  EXPECT_EQ(second.err, "zort-read: " + ports[0].path +
                            utf8(u8": Не удалось открыть порт. (порт занят другой программой)\n"));
  EXPECT_EQ(second.out, "");
}

// Without a terminal, or with NO_COLOR, the display is plain lines: no
// escape codes, no carriage returns.
TEST_F(StationTest, PlainDisplayForAPipeAndForNoColor) {
  addPorts(1);
  connect(0, instrumentScenario());
  for (const bool onTerminal : {false, true}) {
    int terminal = -1, screen = -1;
    if (onTerminal) {
      ASSERT_TRUE(openRawTerminal(screen, terminal));
    }
    startStation({}, terminal, onTerminal ? std::vector<std::string>{"NO_COLOR=1"}
                                          : std::vector<std::string>{});
    if (terminal >= 0) close(terminal);
    ASSERT_TRUE(waitForLines(1)) << err();
    EXPECT_EQ(interrupt(), 0);
    const std::string shown = onTerminal ? drain(screen) : err();
    const std::string port = ports[0].path;
    EXPECT_EQ(shown, port + utf8(u8": ожидание\n") + port + utf8(u8": чтение\n") + port +
                         utf8(u8": ГОДЕН  ZT-004217\nитого: 1 годен, 0 не годен, 0 ошибка\n"))
        << (onTerminal ? "NO_COLOR" : "pipe");
  }
}

// On a terminal each slot's line is rewritten in place; the verdict is a
// coloured block, and the bell rings for a fail.
TEST_F(StationTest, InPlaceColouredLinesOnATerminal) {
  addPorts(2);
  connect(0, instrumentScenario());
  connect(1, otherSerialScenario());
  int terminal = -1, screen = -1;
  ASSERT_TRUE(openRawTerminal(screen, terminal));
  startStation({"--bell", "--expect", "serial=ZT-004217"}, terminal, {"NO_COLOR"});
  close(terminal);
  ASSERT_TRUE(waitForLines(2)) << out();
  usleep(200 * 1000);  // a look of the display after the last read
  EXPECT_EQ(interrupt(), 11);
  const std::string shown = drain(screen);
  const std::string pad(ports[0].path.size() - 4, ' ');
  EXPECT_NE(shown.find(utf8(u8"\x1b[1;30;42m ГОДЕН    \x1b[0m  ZT-004217")), std::string::npos)
      << shown;
  EXPECT_NE(shown.find(utf8(u8"\x1b[1;97;41m НЕ ГОДЕН \x1b[0m  serial: ZT-004217 expected, "
                            u8"ZT-9 read")),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find("\x1b[2A\r\x1b[2K" + ports[0].path + "  "), std::string::npos)
      << "the two lines are drawn again over themselves";
  EXPECT_NE(shown.find('\a'), std::string::npos) << "the bell for the fail";
  EXPECT_EQ(shown.find('\n' + ports[0].path + ": "), std::string::npos) << "no plain line";
  EXPECT_TRUE(shown.ends_with(utf8(u8"итого: 1 годен, 1 не годен, 0 ошибка\n"))) << shown;
}

// The operator's screen in a terminal emulator (tmux): after many redraws
// it holds one line per slot, each verdict in its colour. The picture of it
// goes to the README.
TEST_F(StationTest, TheOperatorsScreen) {
  if (runProcess({"tmux", "-V"}, ProcessOptions{}).exitCode != 0) {
    if (runningUnderCi()) FAIL() << "no tmux (CI=true: a check that cannot run fails)";
    GTEST_SKIP() << "no tmux";
  }
  const std::vector<std::string> names = {"ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyUSB3"};
  for (const auto& name : names) ports.push_back({directory + "/" + name, {}, ""});
  connect(0, instrumentScenario());
  connect(1, otherSerialScenario());
  connect(2, failingScenario());
  std::string command = std::string("cd ") + directory + " && LANG=C.UTF-8 " + ZORT_READ_PATH +
                        " --watch --expect serial=ZT-004217";
  for (const auto& name : names) command += " " + name;
  command += " >out; sleep 60";
  const std::string socket = "zort-station-" + std::to_string(getpid());
  const auto tmux = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"tmux", "-L", socket});
    return runProcess(arguments, ProcessOptions{{"TMUX", "NO_COLOR"}, "", 20000, false});
  };
  ASSERT_EQ(tmux({"-f", "/dev/null", "new-session", "-d", "-x", "80", "-y", "6", "-s", "station",
                  command})
                .exitCode,
            0);
  const bool read = waitForLines(3);
  usleep(300 * 1000);  // a look of the display after the last read
  const ProcessResult screen = tmux({"capture-pane", "-e", "-p", "-t", "station"});
  tmux({"kill-server"});
  ASSERT_TRUE(read) << out();
  ASSERT_EQ(screen.exitCode, 0) << screen.err;

  std::string plain;  // the screen without its colours
  for (size_t i = 0; i < screen.out.size(); ++i) {
    if (screen.out[i] == '\x1b') {
      i = screen.out.find('m', i);
      if (i == std::string::npos) break;
      continue;
    }
    plain.push_back(screen.out[i]);
  }
  while (plain.ends_with("\n\n")) plain.pop_back();
  EXPECT_EQ(plain, utf8(u8"ttyUSB0   ГОДЕН      ZT-004217\n"
                        u8"ttyUSB1   НЕ ГОДЕН   serial: ZT-004217 expected, ZT-9 read\n"
                        u8"ttyUSB2   ОШИБКА     Нет ответа.\n"
                        u8"ttyUSB3   ожидание   Не удалось открыть порт. (No such file or directory)\n"));
  EXPECT_NE(screen.out.find("42m"), std::string::npos) << "green: " << screen.out;
  EXPECT_NE(screen.out.find("41m"), std::string::npos) << "red: " << screen.out;
  EXPECT_NE(screen.out.find("43m"), std::string::npos) << "yellow: " << screen.out;

  std::string error;
  const std::string picture = std::string(ZORT_SCREENSHOT_DIR) + "/zort-read-station.png";
  mkdir(ZORT_SCREENSHOT_DIR, 0755);
  EXPECT_TRUE(renderTerminalPng(screen.out, picture, error)) << error;
}

}  // namespace
