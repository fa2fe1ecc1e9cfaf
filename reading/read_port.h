// One port read from its open to its close: open the port, raise its
// control lines, run one read cycle, close it. For readers that open a port
// of their own for each read (zort-read, one per worker); the dialog keeps
// its port open between cycles instead.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "os/local_time.h"
#include "protocol/results.h"
#include "protocol/status.h"
#include "reading/read_cycle.h"

struct PortReadRequest {
  const char* port;  // as listed (the platform's encoding)
  StatusLine statusLine;             // setText may be null
  const ExchangeObserver* observer;  // may be null
  uint32_t retries;                  // as ReadContext::retries
  // When not null, set to the moment the cycle begins: the time origin of a
  // trace of its exchanges.
  std::chrono::steady_clock::time_point* cycleStart;
  // As ReadContext::stopRequested (the reader's Ctrl-C); may be null.
  bool (*stopRequested)() = nullptr;
};

// What one port's read came to: a plain record, read after the read ended.
struct PortReadOutcome {
  StatusCode openStatus = kStatusOk;   // the open's: 0, or 2, 3, 5
  bool cycleRan = false;               // the port opened and a cycle ran
  StatusCode cycleStatus = kStatusOk;  // the cycle's, when it ran
  std::string reason;                  // the system's words (UTF-8) when the open failed, or
                                       // when it refused the failed cycle's last write or read
  ResultStore results{};               // the values, when the cycle ran
  long long cycleMs = -1;              // the cycle's time, -1 when none ran
  uint32_t mostTries = 0;              // the most tries one exchange took; 0: none ran
  ZonedTime ended{};                   // when the read ended (or the open failed)
};

// Opens the port in the instrument's line mode, shows kWaitingText on the
// status line, runs the cycle and closes the port.
PortReadOutcome readOnePort(const PortReadRequest& request);

// The read's status: the open's when it failed, the cycle's otherwise.
StatusCode readStatus(const PortReadOutcome& outcome);
