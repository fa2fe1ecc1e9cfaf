// The real zort-sim on a pty: what comes back for a request, how long it
// takes with pacing, and how the program stops.
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "tests/support/sim_process.h"

namespace {

int64_t nowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

double nowMsExact() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

int openClient(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return -1;
  termios mode{};
  tcgetattr(fd, &mode);
  cfmakeraw(&mode);
  tcsetattr(fd, TCSANOW, &mode);
  return fd;
}

bool writeRequest(int fd, uint8_t code) {
  const RequestFrame frame = buildRequestFrame(code);
  return write(fd, frame.data(), frame.size()) == static_cast<ssize_t>(frame.size());
}

struct Received {
  std::string characters;
  std::vector<double> arrivalMs;  // one per character
  bool hungUp = false;            // the read ended with EIO or end of file
};

// Reads until silenceMs pass with nothing, the line hangs up, or limitMs is over.
Received readReply(int fd, int silenceMs, int limitMs = 10000) {
  Received received;
  const int64_t end = nowMs() + limitMs;
  while (nowMs() < end) {
    pollfd entry = {fd, POLLIN, 0};
    const int ready = poll(&entry, 1, silenceMs);
    if (ready == 0) break;
    if (ready < 0) continue;
    char chunk[256];
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got <= 0) {
      received.hungUp = true;
      break;
    }
    const double at = nowMsExact();
    for (ssize_t i = 0; i < got; ++i) {
      received.characters.push_back(chunk[i]);
      received.arrivalMs.push_back(at);
    }
  }
  return received;
}

std::string decodedOrEmpty(const std::string& frame) {
  std::vector<uint8_t> bytes(frame.size() + 1);
  const DecodedReply decoded = decodeReplyFrame(frame.data(), frame.size(), bytes.data(), bytes.size());
  if (decoded.status != kStatusOk) return "";
  return std::string(reinterpret_cast<const char*>(bytes.data()), decoded.length);
}

// A started sim and an open client on its line, stopped and closed at the end.
class SimOnPty : public ::testing::Test {
 protected:
  void start(const std::vector<std::string>& arguments) {
    std::string error;
    ASSERT_TRUE(startSim(sim, arguments, error)) << error;
    client = openClient(sim.linePath);
    ASSERT_GE(client, 0) << sim.linePath;
  }
  void startWithScenario(const std::string& text, std::vector<std::string> arguments) {
    scenarioPath = writeTemporaryFile(text);
    ASSERT_FALSE(scenarioPath.empty());
    arguments.insert(arguments.begin(), {"--scenario", scenarioPath});
    start(arguments);
  }
  void TearDown() override {
    if (client >= 0) close(client);
    if (sim.pid > 0) stopSim(sim);
    if (!scenarioPath.empty()) unlink(scenarioPath.c_str());
  }

  SimProcess sim;
  int client = -1;
  std::string scenarioPath;
};

TEST_F(SimOnPty, DefaultScenarioAnswersEverySixCodesWithValidFrames) {
  start({"--char-ms", "0", "--turnaround-ms", "0"});
  for (const uint8_t code : {0x41, 0x42, 0x62, 0x40, 0x49, 0x46}) {
    SCOPED_TRACE(code);
    ASSERT_TRUE(writeRequest(client, code));
    const Received reply = readReply(client, 200);
    const std::string bytes = decodedOrEmpty(reply.characters);
    ASSERT_GE(bytes.size(), 10u) << reply.characters;
    EXPECT_EQ(static_cast<uint8_t>(bytes[3]), code);
  }
}

TEST_F(SimOnPty, ClientThatClosesAndReopensKeepsBeingServed) {
  start({"--char-ms", "0", "--turnaround-ms", "0"});
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(writeRequest(client, 0x41));
    const Received reply = readReply(client, 300);
    EXPECT_FALSE(decodedOrEmpty(reply.characters).empty()) << reply.characters;
    close(client);
    client = openClient(sim.linePath);
    ASSERT_GE(client, 0);
  }
}

TEST_F(SimOnPty, SigtermEndsTheSimPromptlyWithExitCodeZero) {
  start({});
  const int64_t before = nowMs();
  EXPECT_EQ(stopSim(sim, 5000), 0);
  EXPECT_LT(nowMs() - before, 2000);
}

TEST_F(SimOnPty, PacedReplyTakesAboutOneCharacterTimePerCharacter) {
  const double charMs = 8.33;
  const double turnaroundMs = 20;
  start({"--char-ms", "8.33", "--turnaround-ms", "20"});
  const double sent = nowMsExact();
  ASSERT_TRUE(writeRequest(client, 0x40));
  const Received reply = readReply(client, 500);
  ASSERT_FALSE(decodedOrEmpty(reply.characters).empty()) << reply.characters;
  const double count = static_cast<double>(reply.characters.size());
  // The characters come one by one after the request has crossed the line.
  const double spread = reply.arrivalMs.back() - reply.arrivalMs.front();
  EXPECT_GE(spread, 0.9 * (count - 1) * charMs);
  EXPECT_LE(spread, 3 * count * charMs);
  const double first = reply.arrivalMs.front() - sent;
  EXPECT_GE(first, 0.9 * (kRequestFrameLength * charMs + turnaroundMs));
  EXPECT_LE(first, 3 * (kRequestFrameLength * charMs + turnaroundMs + charMs));
}

std::string frameOf(uint8_t code) {
  const RequestFrame frame = buildRequestFrame(code);
  return std::string(frame.data(), frame.size());
}

std::vector<std::string> logLines(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

const std::vector<std::string> kNoPacing = {"--char-ms", "0", "--turnaround-ms", "0"};

TEST_F(SimOnPty, EchoComesBeforeTheReplyAndEchoOnlyAlone) {
  startWithScenario("A type=1 value=16 echo\nB echo-only\n", kNoPacing);
  ASSERT_TRUE(writeRequest(client, 'A'));
  const Received echoed = readReply(client, 300);
  ASSERT_GT(echoed.characters.size(), kRequestFrameLength);
  EXPECT_EQ(echoed.characters.substr(0, kRequestFrameLength), frameOf('A'));
  EXPECT_EQ(decodedOrEmpty(echoed.characters.substr(kRequestFrameLength)).substr(0, 4),
            std::string("\x00\x02\x00\x41", 4));
  ASSERT_TRUE(writeRequest(client, 'B'));
  EXPECT_EQ(readReply(client, 300).characters, frameOf('B'));
}

// Lines for one code take turns; codes without a line and silent lines send
// nothing; the log has one line per request.
TEST_F(SimOnPty, LinesTakeTurnsAndTheLogCountsEveryRequest) {
  const std::string logPath = writeTemporaryFile("", "zort-sim-log");
  std::vector<std::string> arguments = kNoPacing;
  arguments.insert(arguments.end(), {"--log", logPath});
  startWithScenario("A type=1 value=01\nA silent\n", arguments);
  const bool answered[] = {true, false, true, false};
  for (const bool expectReply : answered) {
    SCOPED_TRACE(expectReply);
    ASSERT_TRUE(writeRequest(client, 'A'));
    const Received reply = readReply(client, 250);
    EXPECT_EQ(!decodedOrEmpty(reply.characters).empty(), expectReply) << reply.characters;
    if (!expectReply) {
      EXPECT_EQ(reply.characters, "");
    }
  }
  ASSERT_TRUE(writeRequest(client, 'Z'));
  EXPECT_EQ(readReply(client, 250).characters, "");

  const std::vector<std::string> lines = logLines(logPath);
  unlink(logPath.c_str());
  ASSERT_EQ(lines.size(), 5u);
  const char* summaries[] = {"41 normal line=1", "41 silent line=2", "41 normal line=1",
                             "41 silent line=2", "5A no-entry"};
  long long previous = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i]);
    std::istringstream words(lines[i]);
    long long ms = -1;
    words >> ms;
    std::string rest;
    std::getline(words, rest);
    EXPECT_EQ(rest, std::string(" ") + summaries[i]);
    EXPECT_GE(ms, previous);
    previous = ms;
  }
}

TEST_F(SimOnPty, IgnoresWhatIsNotARequestAndResynchronisesOnTheColon) {
  startWithScenario("A type=1 value=16\n", kNoPacing);
  const std::string noise = "garbage:0002\r\n:00020041380086\r\n:0002" + frameOf('A');
  ASSERT_EQ(write(client, noise.data(), noise.size()), static_cast<ssize_t>(noise.size()));
  const Received reply = readReply(client, 300);
  // exactly one reply: the one valid frame at the end
  EXPECT_EQ(reply.characters.find(':', 1), std::string::npos) << reply.characters;
  EXPECT_FALSE(decodedOrEmpty(reply.characters).empty()) << reply.characters;
}

// A request that arrives while a reply is going out is answered after it,
// never interleaved with it.
TEST_F(SimOnPty, BackToBackRequestsAreAnsweredInOrder) {
  startWithScenario("A type=1 value=16\nB type=4 value=07E9\n", {"--char-ms", "1", "--turnaround-ms", "0"});
  const std::string both = frameOf('A') + frameOf('B');
  ASSERT_EQ(write(client, both.data(), both.size()), static_cast<ssize_t>(both.size()));
  const Received reply = readReply(client, 300);
  const size_t split = reply.characters.find('\n') + 1;
  ASSERT_GT(split, 0u) << reply.characters;
  EXPECT_EQ(static_cast<uint8_t>(decodedOrEmpty(reply.characters.substr(0, split)).at(3)), 'A');
  EXPECT_EQ(static_cast<uint8_t>(decodedOrEmpty(reply.characters.substr(split)).at(3)), 'B');
}

TEST_F(SimOnPty, PauseStopsTheReplyAfterItsFirstCharacters) {
  startWithScenario("A type=1 value=16 pause=5:200\n", kNoPacing);
  ASSERT_TRUE(writeRequest(client, 'A'));
  const Received reply = readReply(client, 500);
  ASSERT_FALSE(decodedOrEmpty(reply.characters).empty()) << reply.characters;
  const double gap = reply.arrivalMs[5] - reply.arrivalMs[4];
  EXPECT_GE(gap, 180);
  EXPECT_LE(gap, 600);
  EXPECT_LT(reply.arrivalMs[4] - reply.arrivalMs[0], 100);
}

TEST_F(SimOnPty, LengthSendsExactlyThatManyCharacters) {
  startWithScenario("A type=1 value=16 length=600\n", kNoPacing);
  ASSERT_TRUE(writeRequest(client, 'A'));
  const Received reply = readReply(client, 300);
  ASSERT_EQ(reply.characters.size(), 600u);
  EXPECT_EQ(reply.characters.substr(0, 1), ":");
  EXPECT_EQ(reply.characters.substr(596), "00\r\n");
}

// The client reads the characters sent before the hang-up, then the line is
// gone and the sim has ended by itself with exit code 0.
TEST_F(SimOnPty, HangupClosesTheLineAfterItsCharactersAndExitsZero) {
  startWithScenario("A type=1 value=16 hangup=7\n", {"--char-ms", "1", "--turnaround-ms", "0"});
  ASSERT_TRUE(writeRequest(client, 'A'));
  const Received reply = readReply(client, 3000);
  EXPECT_EQ(reply.characters, ":000200");
  EXPECT_TRUE(reply.hungUp);
  EXPECT_EQ(waitSimExit(sim, 5000), 0);
}

// A client that reads late still gets what was sent before the hang-up.
TEST_F(SimOnPty, HangupWaitsForASlowClientToReadWhatWasSent) {
  startWithScenario("A raw=abc hangup=3\n", kNoPacing);
  ASSERT_TRUE(writeRequest(client, 'A'));
  const timespec late = {0, 300 * 1000 * 1000};
  nanosleep(&late, nullptr);
  const Received reply = readReply(client, 3000);
  EXPECT_EQ(reply.characters, "abc");
  EXPECT_TRUE(reply.hungUp);
  EXPECT_EQ(waitSimExit(sim, 5000), 0);
}

TEST(SimProcess, SigintAlsoEndsTheSimWithExitCodeZero) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(startSim(sim, {}, error)) << error;
  ASSERT_EQ(kill(sim.pid, SIGINT), 0);
  EXPECT_EQ(waitSimExit(sim, 5000), 0);
  if (sim.pid > 0) stopSim(sim);
}

// --device serves a tty it is given: here the slave of a pty the test holds.
TEST(SimProcess, ServesAGivenDevice) {
  int master = -1;
  int slave = -1;
  char name[256] = {};
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  termios mode{};
  tcgetattr(master, &mode);
  cfmakeraw(&mode);
  tcsetattr(master, TCSANOW, &mode);
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(startSim(sim, {"--device", name, "--char-ms", "0", "--turnaround-ms", "0"}, error)) << error;
  EXPECT_EQ(sim.linePath, name);
  ASSERT_TRUE(writeRequest(master, 'F'));
  const Received reply = readReply(master, 300);
  EXPECT_EQ(static_cast<uint8_t>(decodedOrEmpty(reply.characters).at(3)), 'F') << reply.characters;
  EXPECT_EQ(stopSim(sim), 0);
  close(slave);
  close(master);
}

int runSim(const std::string& arguments, const std::string& output) {
  const std::string command = std::string(zortSimPath()) + " " + arguments + " >" + output + " 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string fileText(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(SimProcess, BadScenarioStopsTheSimWithItsLineNumber) {
  const std::string scenario = writeTemporaryFile("# fine\nA silent\nB type=1 value=0\n");
  const std::string output = writeTemporaryFile("");
  EXPECT_EQ(runSim("--scenario " + scenario, output), 2);
  EXPECT_NE(fileText(output).find(scenario + ":3: value=: an odd number"), std::string::npos) << fileText(output);
  EXPECT_EQ(runSim("--char-ms slow", output), 2);
  EXPECT_NE(fileText(output).find("--char-ms"), std::string::npos) << fileText(output);
  unlink(scenario.c_str());
  unlink(output.c_str());
}

// The printed default scenario, given back as a file, plays the same instrument.
TEST(SimProcess, PrintedDefaultScenarioPlaysTheBuiltInInstrument) {
  const std::string printed = writeTemporaryFile("");
  ASSERT_EQ(runSim("--print-default", printed), 0);
  std::vector<std::string> replies[2];
  for (int run = 0; run < 2; ++run) {
    std::vector<std::string> arguments = kNoPacing;
    if (run == 1) arguments.insert(arguments.end(), {"--scenario", printed});
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(startSim(sim, arguments, error)) << error;
    const int client = openClient(sim.linePath);
    ASSERT_GE(client, 0);
    for (const uint8_t code : {0x41, 0x42, 0x62, 0x40, 0x49, 0x46}) {
      writeRequest(client, code);
      replies[run].push_back(readReply(client, 200).characters);
    }
    close(client);
    EXPECT_EQ(stopSim(sim), 0);
  }
  unlink(printed.c_str());
  EXPECT_EQ(replies[0], replies[1]);
  EXPECT_EQ(replies[0].size(), 6u);
}

}  // namespace
