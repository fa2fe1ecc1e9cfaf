// Read cycles over a pseudo-terminal against zort-sim (POSIX backend).
#include "reading/read_cycle.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/golden_texts.h"
#include "tests/support/sim_port.h"
#include "tests/support/test_instrument.h"

namespace {

const auto& kValues = kTestInstrumentValues;

// The progress texts, as the status line receives them (the program's
// bytes, Windows-1251 in this build).
const std::array<std::string, kParameterCount> kDone = [] {
  std::array<std::string, kParameterCount> texts;
  for (size_t i = 0; i < kParameterCount; ++i) texts[i] = golden::programText(golden::kProgressTexts[i]);
  return texts;
}();
const std::array<std::string, kParameterCount> kInterrupted = [] {
  std::array<std::string, kParameterCount> texts;
  for (size_t i = 0; i < kParameterCount; ++i)
    texts[i] = golden::programText(golden::kInterruptedStart +
                                   golden::kProgressTexts[i].substr(golden::kProgressStart.size()));
  return texts;
}();

std::string scenarioWith(size_t position, const std::string& fields) {
  return instrumentScenario(position, fields);
}

std::string defaultScenario() { return instrumentScenario(); }

struct StatusTexts {
  std::vector<std::string> texts;
  ControlFlags* cancelFlags = nullptr;  // set CancelRequested after this many texts
  size_t cancelAfter = 0;
};

void recordText(void* context, const char* text) {
  auto& status = *static_cast<StatusTexts*>(context);
  status.texts.emplace_back(text);
  if (status.cancelFlags != nullptr && status.texts.size() == status.cancelAfter)
    setFlag(*status.cancelFlags, kCancelRequested);
}

class ReadCycleTest : public testing::Test {
 protected:
  void start(const std::string& scenario,
             const std::vector<std::string>& simArguments = {"--char-ms", "0"}) {
    std::string error;
    ASSERT_TRUE(startSimPort(port, scenario, error, simArguments)) << error;
  }
  void TearDown() override { stopSimPort(port); }

  // Runs one cycle as the worker does: Busy set, among other bits.
  StatusCode cycle() {
    setFlag(flags, kBusy | kWorkerStarted);
    const StatusCode result = runReadCycle(statusLine, flags, context);
    EXPECT_FALSE(testFlag(flags, kBusy)) << "Busy is cleared on every way out";
    EXPECT_TRUE(testFlag(flags, kWorkerStarted));
    return result;
  }

  std::vector<std::string> values() const {
    std::vector<std::string> shown;
    for (size_t i = 0; i < kParameterCount; ++i) shown.emplace_back(valueText(results[i]));
    return shown;
  }

  SimPort port;
  ReceiveBuffer receive{};
  ResultStore results{};
  ControlFlags flags{0};
  StatusTexts status;
  StatusLine statusLine = {recordText, &status};
  ReadContext context = {&port.connection, &receive, &results, nullptr};
};

TEST_F(ReadCycleTest, ReadsAllSixWithProgress) {
  start(defaultScenario());
  EXPECT_EQ(cycle(), kStatusOk);
  EXPECT_EQ(values(), std::vector<std::string>(kValues.begin(), kValues.end()));
  EXPECT_EQ(status.texts, std::vector<std::string>(kDone.begin(), kDone.end()));
  EXPECT_EQ(status.texts[0].back(), '%');
  EXPECT_EQ(status.texts[0].substr(status.texts[0].size() - 3), " 0%");
  // One request per parameter, in table order.
  const auto requests = loggedRequests(port);
  ASSERT_EQ(requests.size(), kParameterCount);
  const std::array<const char*, kParameterCount> codes = {" 41 ", " 42 ", " 62 ",
                                                          " 40 ", " 49 ", " 46 "};
  for (size_t i = 0; i < kParameterCount; ++i)
    EXPECT_NE(requests[i].find(codes[i]), std::string::npos) << requests[i];
}

struct FailureCase {
  const char* label;
  size_t position;
  const char* fields;  // the failing position's reply
  StatusCode status;
};

std::string failureName(const testing::TestParamInfo<FailureCase>& info) {
  return std::string(info.param.label) + "AtPosition" + std::to_string(info.param.position);
}

std::vector<FailureCase> failureCases() {
  std::vector<FailureCase> cases;
  for (size_t position = 0; position < kParameterCount; ++position) {
    cases.push_back({"Silence", position, "silent", kStatusNoAnswer});
    cases.push_back({"WrongLrc", position, "reply=0002004138000001 bad-lrc", kStatusBadFormat});
  }
  // A well-formed frame with too little inside for a value.
  cases.push_back({"TooShortForAValue", 3, "reply=0002004038", kStatusBadFormat});
  cases.push_back({"EchoOnly", 4, "echo-only", kStatusNoAnswer});
  cases.push_back({"HangUp", 2, "type=3 value=72C0 hangup=9", kStatusBadFormat});
  return cases;
}

class CycleFailureTest : public ReadCycleTest, public testing::WithParamInterface<FailureCase> {};

// The first failure ends the cycle with its code; the positions before it
// keep their values, the later ones stay empty, except the checksum that
// the software version presets.
TEST_P(CycleFailureTest, KeepsTheValuesReadBefore) {
  const FailureCase& c = GetParam();
  start(scenarioWith(c.position, c.fields));
  EXPECT_EQ(cycle(), c.status);
  std::vector<std::string> expected(kParameterCount);
  for (size_t i = 0; i < c.position; ++i) expected[i] = kValues[i];
  if (c.position > 0 && c.position <= kChecksumPosition) expected[kChecksumPosition] = "72C0";
  EXPECT_EQ(values(), expected);
  EXPECT_EQ(status.texts, std::vector<std::string>(kDone.begin(), kDone.begin() + c.position));
  EXPECT_EQ(loggedRequests(port).size(), c.position + 1) << "nothing is requested after it";
}

INSTANTIATE_TEST_SUITE_P(Failures, CycleFailureTest, testing::ValuesIn(failureCases()),
                         failureName);

class CycleCancelTest : public ReadCycleTest, public testing::WithParamInterface<size_t> {};

// A cancel request is seen after the position in progress: the cycle ends
// with 10 once it has read that position, even the last one.
TEST_P(CycleCancelTest, StopsAfterThePositionInProgress) {
  const size_t position = GetParam();
  start(defaultScenario());
  if (position == 0) {
    setFlag(flags, kCancelRequested);
  } else {
    status.cancelFlags = &flags;
    status.cancelAfter = position;
  }
  EXPECT_EQ(cycle(), kStatusInterrupted);
  std::vector<std::string> expectedTexts(kDone.begin(), kDone.begin() + position);
  expectedTexts.push_back(kInterrupted[position]);
  EXPECT_EQ(status.texts, expectedTexts);
  std::vector<std::string> expected(kParameterCount);
  for (size_t i = 0; i <= position; ++i) expected[i] = kValues[i];
  expected[kChecksumPosition] = "72C0";
  EXPECT_EQ(values(), expected);
  EXPECT_EQ(loggedRequests(port).size(), position + 1);
}

INSTANTIATE_TEST_SUITE_P(Positions, CycleCancelTest, testing::Values(0, 3, 5),
                         [](const auto& info) { return "AtPosition" + std::to_string(info.param); });

TEST_F(ReadCycleTest, ASecondCycleClearsTheFirstOnesValues) {
  // Code A answers the first request and stays silent at the second.
  start(defaultScenario() + "A silent\n");
  ASSERT_EQ(cycle(), kStatusOk);
  status.texts.clear();
  EXPECT_EQ(cycle(), kStatusNoAnswer);
  EXPECT_EQ(values(), std::vector<std::string>(kParameterCount));
  EXPECT_TRUE(status.texts.empty());
}

TEST_F(ReadCycleTest, AClosedPortEndsTheCycleWithSendFailure) {
  start(defaultScenario());
  closePort(port.connection);
  EXPECT_EQ(cycle(), kStatusSendFailed);
  EXPECT_EQ(values(), std::vector<std::string>(kParameterCount));
  EXPECT_TRUE(loggedRequests(port).empty());
}

// The dialog may close the port while the worker reads: the transaction in
// progress (B's, in its 193 ms wait) ends on its handle, the next one fails
// to send, and the handle is released once, after the transaction.
TEST_F(ReadCycleTest, ClosingThePortDuringACycle) {
  start(defaultScenario());
  const PortHandle handle = port.connection.handle.load();
  std::atomic<bool> firstDone{false};
  StatusLine notify = {[](void* done, const char*) {
                         static_cast<std::atomic<bool>*>(done)->store(true);
                       },
                       &firstDone};
  StatusCode result = kStatusOk;
  std::thread worker([&] { result = runReadCycle(notify, flags, context); });
  while (!firstDone.load()) std::this_thread::yield();
  // B's transaction is running or about to start.
  closePort(port.connection);
  worker.join();
  EXPECT_EQ(result, kStatusSendFailed);
  EXPECT_EQ(values()[0], "22");
  EXPECT_EQ(fcntl(static_cast<int>(handle), F_GETFD), -1) << "the handle is released";
  EXPECT_EQ(port.connection.state.load(), 0u);
}

struct RetryCase {
  const char* name;
  const char* firstAnswer;  // position 1's answer to its first request; later ones are good
  uint32_t retries;
  StatusCode status;
  size_t requests;  // requests the sim saw in all
  uint32_t mostTries;  // of one exchange, as the cycle tells
};

class CycleRetryTest : public ReadCycleTest, public testing::WithParamInterface<RetryCase> {};

void countRetry(void* context, uint32_t attempt, StatusCode status) {
  auto& seen = *static_cast<std::vector<std::pair<uint32_t, StatusCode>>*>(context);
  seen.emplace_back(attempt, status);
}

// An exchange that ended with 7 or 8 is tried again while tries are left;
// the values come out as from an undisturbed cycle.
TEST_P(CycleRetryTest, TriesAFailedExchangeAgain) {
  const RetryCase& c = GetParam();
  start(scenarioWith(1, c.firstAnswer) + kTestInstrumentLines[1] + "\n");
  std::vector<std::pair<uint32_t, StatusCode>> retried;
  const ExchangeObserver observer = {nullptr, nullptr, &retried, countRetry};
  context.observer = &observer;
  context.retries = c.retries;
  EXPECT_EQ(cycle(), c.status);
  EXPECT_EQ(loggedRequests(port).size(), c.requests);
  EXPECT_EQ(context.mostTries, c.mostTries);
  if (c.status == kStatusOk) {
    EXPECT_EQ(values(), std::vector<std::string>(kValues.begin(), kValues.end()));
    ASSERT_EQ(retried.size(), 1u);
    EXPECT_EQ(retried[0].first, 2u) << "the second try";
  }
}

const RetryCase kRetryCases[] = {
    {"LostOnceWithoutRetries", "silent", 0, kStatusNoAnswer, 2, 1},
    {"LostOnceWithOneRetry", "silent", 1, kStatusOk, 7, 2},
    {"WrongLrcOnceWithOneRetry", "reply=0002004238000001 bad-lrc", 1, kStatusOk, 7, 2},
    {"EchoOnlyOnceWithThreeRetries", "echo-only", 3, kStatusOk, 7, 2},
};

INSTANTIATE_TEST_SUITE_P(Retries, CycleRetryTest, testing::ValuesIn(kRetryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadCycleTest, RetriesGiveUpWithTheLastStatus) {
  start(scenarioWith(4, "silent"));
  context.retries = 2;
  EXPECT_EQ(cycle(), kStatusNoAnswer);
  EXPECT_EQ(loggedRequests(port).size(), 4u + 3u) << "three tries of position 4";
  EXPECT_EQ(context.mostTries, 3u);
}

// The reader's Ctrl-C asks through stopRequested: the cycle ends as a cancel
// ends it, after the position in progress.
std::atomic<bool> stopForTest{false};

TEST_F(ReadCycleTest, AStopRequestEndsTheCycleAfterThePositionInProgress) {
  start(defaultScenario());
  stopForTest = false;
  context.stopRequested = [] { return stopForTest.load(); };
  StatusLine stopAfterBuild = {[](void* texts, const char* text) {
                                 static_cast<StatusTexts*>(texts)->texts.emplace_back(text);
                                 if (static_cast<StatusTexts*>(texts)->texts.size() == 2)
                                   stopForTest = true;
                               },
                               &status};
  setFlag(flags, kBusy);
  EXPECT_EQ(runReadCycle(stopAfterBuild, flags, context), kStatusInterrupted);
  EXPECT_EQ(status.texts.back(), kInterrupted[2]);
  EXPECT_EQ(loggedRequests(port).size(), 3u);
  EXPECT_FALSE(testFlag(flags, kBusy));
}

TEST_F(ReadCycleTest, ASendFailureIsNotRetried) {
  start(defaultScenario());
  closePort(port.connection);
  std::vector<std::pair<uint32_t, StatusCode>> retried;
  const ExchangeObserver observer = {nullptr, nullptr, &retried, countRetry};
  context.observer = &observer;
  context.retries = 3;
  EXPECT_EQ(cycle(), kStatusSendFailed);
  EXPECT_TRUE(retried.empty());
}

// The benchmark of the line: a full cycle with the simulator paced like a
// 1200-baud line. The cycle cannot be faster than the line carries its
// characters; it waits 9 ms a request character + 40 ms and ends each
// reply with 40 ms of silence, so it is not much slower either.
TEST_F(ReadCycleTest, PacedCycleTakesAboutTheLinesTime) {
  start(defaultScenario(), {"--char-ms", "8.33", "--turnaround-ms", "20"});
  const auto begin = std::chrono::steady_clock::now();
  ASSERT_EQ(cycle(), kStatusOk);
  const double took =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
  const size_t characters = instrumentCycleLineCharacters();
  const double lineMs = static_cast<double>(characters) * 8.33;
  std::printf("paced cycle: %.0f ms for %zu characters, %.0f ms on the line\n", took, characters,
              lineMs);
  RecordProperty("cycle_ms", static_cast<int>(took));
  RecordProperty("line_ms", static_cast<int>(lineMs));
  EXPECT_GE(took, lineMs);
  EXPECT_LE(took, 2 * lineMs + 1000);
}

// Ctrl-C while a position is being tried again: no further try, and the
// read ends as interrupted.
TEST_F(ReadCycleTest, AStopRequestEndsTheTriesOfAPosition) {
  start(scenarioWith(1, "silent"));
  stopForTest = false;
  context.stopRequested = [] { return stopForTest.load(); };
  context.retries = 5;
  // Asked once the second exchange (position 1's first try) has ended.
  int exchanges = 0;
  const ExchangeObserver observer = {nullptr,
                                     [](void* ended, const char*, size_t) {
                                       if (++*static_cast<int*>(ended) == 2) stopForTest = true;
                                     },
                                     &exchanges};
  context.observer = &observer;
  EXPECT_EQ(cycle(), kStatusInterrupted);
  EXPECT_EQ(loggedRequests(port).size(), 2u) << "position 1 tried once";
  EXPECT_EQ(values()[0], "22");
}

}  // namespace
