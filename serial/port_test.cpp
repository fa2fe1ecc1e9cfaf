// The port connection on the POSIX backend, over pseudo-terminals made here.
#include "serial/port.h"

#include <fcntl.h>
#include <poll.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>

#include "serial/port_backend.h"
#include "serial/transaction.h"

namespace {

bool descriptorOpen(PortHandle handle) { return fcntl(static_cast<int>(handle), F_GETFD) != -1; }

int lowestFreeDescriptor() {
  const int fd = open("/dev/null", O_RDONLY);
  close(fd);
  return fd;
}

// A pty pair; the test holds the master, the port opens the slave by name.
struct Pty {
  int master = -1;
  int slave = -1;
  std::string path;
};

Pty makePty() {
  Pty pty;
  char name[128] = {};
  if (openpty(&pty.master, &pty.slave, name, nullptr, nullptr) == 0) pty.path = name;
  return pty;
}

void closePty(Pty& pty) {
  if (pty.master >= 0) close(pty.master);
  if (pty.slave >= 0) close(pty.slave);
  pty = Pty{};
}

class PortTest : public testing::Test {
 protected:
  void SetUp() override {
    pty = makePty();
    ASSERT_FALSE(pty.path.empty()) << "openpty failed";
  }
  void TearDown() override {
    closePort(connection);
    closePty(pty);
  }
  Pty pty;
  PortConnection connection;
};

struct OpenFailure {
  const char* name;
  const char* port;
  StatusCode status;
  const char* reason;  // the system's words kept for the user
};

const OpenFailure kOpenFailures[] = {
    {"MissingDevice", "/dev/zort-no-such-port", kStatusOpenFailed, "No such file or directory"},
    {"EmptyName", "", kStatusOpenFailed, ""},
    {"NotATerminal", "/dev/null", kStatusDcbFailed, "Inappropriate ioctl for device"},
    {"ADirectory", "/", kStatusOpenFailed, "Is a directory"},
};

class OpenFailureTest : public testing::TestWithParam<OpenFailure> {};

TEST_P(OpenFailureTest, LeavesNoPortOpen) {
  PortConnection connection;
  const int before = lowestFreeDescriptor();
  EXPECT_EQ(openPort(connection, GetParam().port, kLineMode), GetParam().status);
  EXPECT_STREQ(openFailureText(connection), GetParam().reason);
  EXPECT_FALSE(isPortOpen(connection));
  EXPECT_EQ(connection.handle.load(), kNoPort);
  EXPECT_EQ(connection.state.load(), 0u);
  // A device that opened and then failed is closed again.
  EXPECT_EQ(lowestFreeDescriptor(), before);
}

INSTANTIATE_TEST_SUITE_P(Ports, OpenFailureTest, testing::ValuesIn(kOpenFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortTest, AppliesTheInstrumentsLineMode) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  ASSERT_TRUE(isPortOpen(connection));
  termios line{};
  ASSERT_EQ(tcgetattr(pty.slave, &line), 0);
  EXPECT_EQ(cfgetispeed(&line), B1200);
  EXPECT_EQ(cfgetospeed(&line), B1200);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_NE(line.c_cflag & CLOCAL, 0u);
  EXPECT_NE(line.c_cflag & CREAD, 0u);
  // Raw: no echo, no line editing, no translation of CR or LF, no XON/XOFF.
  EXPECT_EQ(line.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
  EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP), 0u);
  EXPECT_EQ(line.c_oflag & OPOST, 0u);
  raiseControlLines(connection);  // a pty has no modem lines: ignored
  EXPECT_TRUE(isPortOpen(connection));
}

TEST_F(PortTest, RejectsAModeItCannotApply) {
  EXPECT_EQ(openPort(connection, pty.path.c_str(), "1200,x,8,1"), kStatusDcbFailed);
  EXPECT_EQ(openPort(connection, pty.path.c_str(), "1234,n,8,1"), kStatusDcbFailed);
  EXPECT_FALSE(isPortOpen(connection));
}

TEST_F(PortTest, ClosingTwiceReleasesTheHandleOnce) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  const PortHandle handle = connection.handle.load();
  closePort(connection);
  EXPECT_FALSE(descriptorOpen(handle));
  // The next file takes the same descriptor number: a second release of the
  // old handle would close it.
  const int other = open("/dev/null", O_RDONLY);
  ASSERT_EQ(other, handle);
  closePort(connection);
  EXPECT_TRUE(descriptorOpen(other));
  close(other);
}

TEST_F(PortTest, CloseDuringATransactionIsLeftToTheTransaction) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  const PortHandle inUse = acquirePortUse(connection);
  ASSERT_NE(inUse, kNoPort);
  closePort(connection);
  EXPECT_FALSE(isPortOpen(connection));
  EXPECT_TRUE(descriptorOpen(inUse)) << "released under a running transaction";
  EXPECT_EQ(acquirePortUse(connection), kNoPort);
  // Neither a second close nor a new open may touch it meanwhile.
  closePort(connection);
  EXPECT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOpenFailed);
  EXPECT_TRUE(descriptorOpen(inUse));

  releasePortUse(connection);
  EXPECT_FALSE(descriptorOpen(inUse));
  EXPECT_EQ(connection.state.load(), 0u);
  EXPECT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
}

TEST_F(PortTest, ReopeningClosesThePortOpenBefore) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  const PortHandle first = connection.handle.load();
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  // The new open takes the lowest free descriptor: the old one's, unless it
  // was left open.
  EXPECT_EQ(connection.handle.load(), first);
  EXPECT_TRUE(isPortOpen(connection));
}

TEST_F(PortTest, TransactionOnAClosedPortFailsToSend) {
  ReceiveBuffer receive{};
  ReplyStore store;
  resetReplyStore(store);
  LinkContext link = {&connection, &receive, &store, nullptr};
  uint16_t length = 99;
  const RequestFrame frame = buildRequestFrame(0x41);
  EXPECT_EQ(transact(link, frame.data(), frame.size(), &length), kStatusSendFailed);
  EXPECT_EQ(length, 0);

  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  closePort(connection);
  const ReplySlot slot = requestParameter(link, 0x41);
  EXPECT_EQ(slot.length, 0);
  EXPECT_EQ(slot.status, kStatusSendFailed);
  EXPECT_EQ(store.cursor, 0u);
}

// What an exchange told its observer of the system's refusals.
struct SeenFailures {
  std::string operations;  // "write", "read", ...
  std::string reasons;
  int masterToClose = -1;  // closed once the request is written: the line hangs up
};

void closeMasterAfterSending(void* context, const char*, size_t) {
  auto& seen = *static_cast<SeenFailures*>(context);
  if (seen.masterToClose >= 0) close(seen.masterToClose);
  seen.masterToClose = -1;
}

void noteReceived(void*, const char*, size_t) {}

void noteFailure(void* context, const char* operation, const char* reason) {
  auto& seen = *static_cast<SeenFailures*>(context);
  seen.operations += operation;
  seen.reasons += reason;
}

TEST_F(PortTest, AHungUpLineFailsToSendWithTheSystemsReason) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  close(pty.master);
  pty.master = -1;
  ReceiveBuffer receive{};
  ReplyStore store;
  resetReplyStore(store);
  SeenFailures seen;
  const ExchangeObserver observer = {closeMasterAfterSending, noteReceived, &seen, nullptr,
                                     noteFailure};
  LinkFailure failure;
  LinkContext link = {&connection, &receive, &store, &observer, &failure};
  EXPECT_EQ(requestParameter(link, 0x41).status, kStatusSendFailed);
  EXPECT_STREQ(failure.reason.data(), "Input/output error");
  EXPECT_EQ(seen.operations, "write");
  EXPECT_EQ(seen.reasons, "Input/output error");
  EXPECT_TRUE(isPortOpen(connection)) << "a failed transaction leaves the port open";
}

// The adapter goes away after the request has gone out: the read that fails
// ends the reception at once, as no answer, with the system's words.
TEST_F(PortTest, AReadTheSystemRefusesEndsTheExchangeWithItsReason) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  ReceiveBuffer receive{};
  ReplyStore store;
  resetReplyStore(store);
  SeenFailures seen;
  seen.masterToClose = pty.master;
  pty.master = -1;
  const ExchangeObserver observer = {closeMasterAfterSending, noteReceived, &seen, nullptr,
                                     noteFailure};
  LinkFailure failure;
  failure.reason[0] = 'x';  // a reason left from before is not kept
  LinkContext link = {&connection, &receive, &store, &observer, &failure};
  uint16_t length = 0;
  const RequestFrame frame = buildRequestFrame(0x41);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(transact(link, frame.data(), frame.size(), &length), kStatusNoAnswer);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_STREQ(failure.reason.data(), "Input/output error");
  EXPECT_EQ(seen.operations, "read") << "one failed read, then no other";
  // The pacing wait, then no read's 40 ms.
  EXPECT_LT(took, std::chrono::milliseconds(193 + 35));

  // The next exchange that the system does not refuse leaves no reason.
  failure.reason[0] = 'x';
  Pty other = makePty();
  ASSERT_EQ(openPort(connection, other.path.c_str(), kLineMode), kStatusOk);
  EXPECT_EQ(transact(link, frame.data(), frame.size(), &length), kStatusNoAnswer);
  EXPECT_STREQ(failure.reason.data(), "");
  closePort(connection);
  closePty(other);
}

TEST_F(PortTest, AReadOfAHungUpLineFails) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  close(pty.master);
  pty.master = -1;
  char buffer[16];
  size_t got = 99;
  errno = 0;
  EXPECT_FALSE(backendRead(connection.handle.load(), buffer, sizeof buffer, &got));
  EXPECT_EQ(errno, EIO);
  EXPECT_EQ(got, 0u);
}

// A line that stopped taking data (output suspended, as a USB device that
// stops reading would): the write gives up after 1 s + 10 ms a character
// and reports the time-out.
TEST_F(PortTest, AWriteTheLineDoesNotTakeTimesOut) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  ASSERT_EQ(tcflow(pty.slave, TCOOFF), 0);
  const RequestFrame frame = buildRequestFrame(0x41);
  size_t written = 99;
  errno = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(backendWrite(connection.handle.load(), frame.data(), frame.size(), &written));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(errno, ETIMEDOUT);
  EXPECT_EQ(written, 0u);
  const auto limit = std::chrono::milliseconds(kWriteWaitMs + kWriteWaitPerCharacterMs * 17);
  EXPECT_GE(took, limit);
  EXPECT_LT(took, limit + std::chrono::milliseconds(500));

  // Once the line takes data again, the same write goes through.
  ASSERT_EQ(tcflow(pty.slave, TCOON), 0);
  EXPECT_TRUE(backendWrite(connection.handle.load(), frame.data(), frame.size(), &written));
  EXPECT_EQ(written, frame.size());
}

TEST_F(PortTest, AReadWaitsFortyMillisecondsForSilence) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  const PortHandle handle = connection.handle.load();
  char buffer[16];
  size_t got = 99;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(backendRead(handle, buffer, sizeof buffer, &got));
  EXPECT_EQ(got, 0u);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(kReadWaitMs));
  EXPECT_LT(waited, std::chrono::seconds(2));

  ASSERT_EQ(write(pty.master, "abc", 3), 3);
  pollfd arrived = {pty.slave, POLLIN, 0};
  ASSERT_EQ(poll(&arrived, 1, 2000), 1);
  EXPECT_TRUE(backendRead(handle, buffer, 2, &got));
  EXPECT_EQ(got, 2u) << "a read returns at most what was asked";
  EXPECT_TRUE(backendRead(handle, buffer, sizeof buffer, &got));
  EXPECT_EQ(got, 1u);
  EXPECT_EQ(buffer[0], 'c');
}

TEST_F(PortTest, PurgeDiscardsWhatHasArrived) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  const PortHandle handle = connection.handle.load();
  ASSERT_EQ(write(pty.master, "stale", 5), 5);
  pollfd arrived = {pty.slave, POLLIN, 0};
  ASSERT_EQ(poll(&arrived, 1, 2000), 1);
  backendPurge(handle);
  char buffer[16];
  size_t got = 99;
  EXPECT_TRUE(backendRead(handle, buffer, sizeof buffer, &got));
  EXPECT_EQ(got, 0u);
}

}  // namespace
