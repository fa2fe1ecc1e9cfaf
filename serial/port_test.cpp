// The port connection on the POSIX backend, over pseudo-terminals made here.
#include "serial/port.h"

#include <fcntl.h>
#include <poll.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

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

TEST_F(PortTest, AHungUpLineFailsToSend) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  close(pty.master);
  pty.master = -1;
  ReceiveBuffer receive{};
  ReplyStore store;
  resetReplyStore(store);
  LinkContext link = {&connection, &receive, &store, nullptr};
  EXPECT_EQ(requestParameter(link, 0x41).status, kStatusSendFailed);
  EXPECT_TRUE(isPortOpen(connection)) << "a failed transaction leaves the port open";
}

TEST_F(PortTest, AReadWaitsFortyMillisecondsForSilence) {
  ASSERT_EQ(openPort(connection, pty.path.c_str(), kLineMode), kStatusOk);
  const PortHandle handle = connection.handle.load();
  char buffer[16];
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(backendRead(handle, buffer, sizeof buffer), 0u);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(kReadWaitMs));
  EXPECT_LT(waited, std::chrono::seconds(2));

  ASSERT_EQ(write(pty.master, "abc", 3), 3);
  EXPECT_EQ(backendRead(handle, buffer, 2), 2u) << "a read returns at most what was asked";
  EXPECT_EQ(backendRead(handle, buffer, sizeof buffer), 1u);
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
  EXPECT_EQ(backendRead(handle, buffer, sizeof buffer), 0u);
}

}  // namespace
