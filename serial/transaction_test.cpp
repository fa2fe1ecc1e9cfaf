// Transactions over a pseudo-terminal against zort-sim (POSIX backend).
#include "serial/transaction.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/sim_port.h"

namespace {

// Code A's reply: header 00 02 00 41 38, no second text, an empty first
// text, type 1, value 0x16; the sim adds the LRC 6E.
constexpr const char* kReplyBytes = "000200413800000116";
constexpr const char* kReplyFrame = ":0002004138000001166E\r\n";
const std::vector<uint8_t> kDecoded = {0x00, 0x02, 0x00, 0x41, 0x38, 0x00, 0x00, 0x01, 0x16, 0x6E};
constexpr uint8_t kCodeA = 0x41;

struct Exchange {
  std::vector<std::string> sent;
  std::vector<std::string> received;
};

void onSent(void* context, const char* characters, size_t count) {
  static_cast<Exchange*>(context)->sent.emplace_back(characters, count);
}

void onReceived(void* context, const char* characters, size_t count) {
  static_cast<Exchange*>(context)->received.emplace_back(characters, count);
}

class LinkTest : public testing::Test {
 protected:
  void start(const std::string& scenario,
             const std::vector<std::string>& simArguments = {"--char-ms", "0"}) {
    std::string error;
    ASSERT_TRUE(startSimPort(port, scenario, error, simArguments)) << error;
    resetReplyStore(store);
  }
  void TearDown() override { stopSimPort(port); }

  ReplySlot request(uint8_t code) { return requestParameter(link, code); }

  SimPort port;
  ReceiveBuffer receive{};
  ReplyStore store{};
  Exchange exchange;
  ExchangeObserver observer = {onSent, onReceived, &exchange};
  LinkContext link = {&port.connection, &receive, &store, &observer};
};

struct ExchangeCase {
  const char* name;
  std::string scenario;  // the line for code A
  StatusCode status;
  size_t received;  // characters that arrived, echo included
};

std::string lineA(const std::string& fields) {
  return std::string("A reply=") + kReplyBytes + " " + fields + "\n";
}

std::string rawA(const std::string& text) { return "A raw=" + text + "\n"; }

const ExchangeCase kExchangeCases[] = {
    {"ReplyWithoutEcho", lineA(""), kStatusOk, 23},
    {"EchoThenReply", lineA("echo"), kStatusOk, 40},
    {"Silence", "A silent\n", kStatusNoAnswer, 0},
    {"EchoOnly", "A echo-only\n", kStatusNoAnswer, 17},
    // 16 characters equal to the request's first 16: too few for an echo.
    {"FewerThanARequestNeverAnEcho", rawA(":00020041380085\\r"), kStatusBadFormat, 16},
    {"ElevenCharacters", lineA("length=11"), kStatusBadFormat, 11},
    // The buffer takes 512; the rest waits for the next purge.
    {"SixHundredCharacters", lineA("length=600"), kStatusBadFormat, 512},
    // Data that differs from the request within its first 17 characters is
    // decoded as it came, even with the echo later in it.
    {"DiffersAtSecondCharacter", rawA(":10020041380085\\r\\n:0002004138000001166E\\r\\n"),
     kStatusBadFormat, 40},
    {"DiffersAtLastCharacter", rawA(":00020041380085\\rX:0002004138000001166E\\r\\n"),
     kStatusBadFormat, 40},
    {"EchoOneCharacterLate", rawA("Z:00020041380085\\r\\n:0002004138000001166E\\r\\n"),
     kStatusBadFormat, 41},
    // Silence inside the reply, longer than the 193 ms wait and the 40 ms
    // of a read, ends the reception after 10 characters.
    {"PauseInsideReply", lineA("pause=10:400"), kStatusBadFormat, 10},
    {"LineHungUpInsideReply", lineA("hangup=12"), kStatusBadFormat, 12},
    {"WrongLrc", lineA("bad-lrc"), kStatusBadFormat, 23},
    {"LowercaseDigits", lineA("lowercase"), kStatusBadFormat, 23},
    {"BytesBeforeFrame", lineA("prefix=\\x00"), kStatusBadFormat, 24},
    {"BytesAfterFrame", lineA("suffix=zz"), kStatusBadFormat, 25},
};

class ExchangeTest : public LinkTest, public testing::WithParamInterface<ExchangeCase> {};

TEST_P(ExchangeTest, FilesTheOutcome) {
  const ExchangeCase& c = GetParam();
  start(c.scenario);
  const ReplySlot slot = request(kCodeA);

  ASSERT_EQ(exchange.sent.size(), 1u);
  EXPECT_EQ(exchange.sent[0], std::string(buildRequestFrame(kCodeA).data(), kRequestFrameLength));
  ASSERT_EQ(exchange.received.size(), 1u);
  EXPECT_EQ(exchange.received[0].size(), c.received);
  EXPECT_EQ(receive.count, c.received);
  if (c.status == kStatusOk) {
    EXPECT_EQ(slot.status, kStatusOk);
    ASSERT_EQ(slot.length, kDecoded.size());
    EXPECT_EQ(std::vector<uint8_t>(slot.data, slot.data + slot.length), kDecoded);
    EXPECT_EQ(slot.data, store.bytes.data());
    EXPECT_EQ(store.cursor, kDecoded.size() + 1);
    EXPECT_EQ(store.bytes[kDecoded.size()], 0) << "the decoded reply is followed by a NUL";
  } else {
    EXPECT_EQ(slot.length, 0);
    EXPECT_EQ(slot.status, c.status);
    EXPECT_EQ(store.cursor, 0u) << "a failed request leaves the cursor";
  }
}

INSTANTIATE_TEST_SUITE_P(Replies, ExchangeTest, testing::ValuesIn(kExchangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, RepliesLieBackToBackInTheStore) {
  start(lineA("") + "B type=4 value=07E9\n");
  const ReplySlot first = request(kCodeA);
  const ReplySlot second = request(0x42);
  ASSERT_EQ(first.status, kStatusOk);
  ASSERT_EQ(second.status, kStatusOk);
  EXPECT_EQ(second.data, first.data + first.length + 1);
  EXPECT_EQ(store.cursor, static_cast<size_t>(first.length) + 1 + second.length + 1);
  // type 4 after the header, the flags and an empty first text
  EXPECT_EQ(second.data[7], 4);
  EXPECT_EQ(second.data[8], 0x07);
  EXPECT_EQ(second.data[9], 0xE9);
}

TEST_F(LinkTest, TheNextPurgeDiscardsWhatDidNotFit) {
  // First a reply of 600 characters, then a good one for the same code.
  start(lineA("length=600") + lineA(""));
  EXPECT_EQ(request(kCodeA).status, kStatusBadFormat);
  EXPECT_EQ(receive.count, kMaxReplyCharacters);
  const ReplySlot second = request(kCodeA);
  EXPECT_EQ(second.status, kStatusOk);
  EXPECT_EQ(exchange.received.back(), kReplyFrame);
}

TEST_F(LinkTest, AFailureLeavesThePortUsable) {
  start("A silent\n" + lineA(""));
  EXPECT_EQ(request(kCodeA).status, kStatusNoAnswer);
  EXPECT_TRUE(isPortOpen(port.connection));
  EXPECT_EQ(request(kCodeA).status, kStatusOk);
}

// The dialog closes the port from its own thread while the worker's
// transaction waits out its 193 ms: the transaction ends on its handle, the
// handle is released once, after it, and the next transaction fails to send.
TEST_F(LinkTest, ClosingThePortFromAnotherThreadDuringATransaction) {
  start(lineA(""));
  std::atomic<bool> sent{false};
  const ExchangeObserver sentFlag = {
      [](void* flag, const char*, size_t) { static_cast<std::atomic<bool>*>(flag)->store(true); },
      nullptr, &sent};
  link.observer = &sentFlag;
  const PortHandle handle = port.connection.handle.load();
  ReplySlot slot{};
  std::thread worker([&] { slot = request(kCodeA); });
  while (!sent.load()) std::this_thread::yield();
  closePort(port.connection);
  EXPECT_FALSE(isPortOpen(port.connection));
  worker.join();
  EXPECT_EQ(slot.status, kStatusOk) << "the transaction in progress ends on its handle";
  EXPECT_EQ(fcntl(static_cast<int>(handle), F_GETFD), -1) << "the handle is released";
  EXPECT_EQ(port.connection.state.load(), 0u);
  EXPECT_EQ(request(kCodeA).status, kStatusSendFailed);
}

// At 1200 baud the reply's characters come 8.33 ms apart, each read bringing
// one or a few: gaps shorter than 40 ms do not end the reception.
TEST_F(LinkTest, PacedEchoAndReplyArriveWhole) {
  start(lineA("echo"), {"--char-ms", "8.33"});
  const auto begin = std::chrono::steady_clock::now();
  const ReplySlot slot = request(kCodeA);
  const auto took = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(slot.status, kStatusOk);
  EXPECT_EQ(receive.count, 40u);
  // The request itself, the turnaround and echo and reply at 8.33 ms a
  // character: the exchange cannot end before the line has carried them.
  EXPECT_GE(took, std::chrono::milliseconds(static_cast<int>((17 + 40) * 8.33)));
}

}  // namespace
