// The real zort-sim on a pty: what comes back for a request, how long it
// takes with pacing, and how the program stops.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
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
    const Received reply = readReply(client, 300);
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

}  // namespace
