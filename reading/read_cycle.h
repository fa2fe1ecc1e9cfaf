// One read of all six parameters, with progress and cancellation.
#pragma once

#include "protocol/results.h"
#include "reading/control_flags.h"
#include "serial/transaction.h"

// The status line while a cycle starts, before its first progress text.
constexpr const char* kWaitingText = "Ждём!...";

// Receives the progress texts (Windows-1251).
struct StatusLine {
  void (*setText)(void* context, const char* text);
  void* context;
};

struct ReadContext {
  PortConnection* port;
  ReceiveBuffer* receive;
  ResultStore* results;
  const ExchangeObserver* observer;  // may be null
  // How many more times an exchange that ended with 7 or 8 is tried before
  // the cycle fails with that code. The dialog never retries.
  uint32_t retries = 0;
  // Where the system's reason goes when it refused the last exchange's write
  // or read; may be null.
  LinkFailure* failure = nullptr;
  // Asked with CancelRequested: true ends the cycle with 10 as a cancel does
  // (the reader's Ctrl-C). May be null.
  bool (*stopRequested)() = nullptr;
  // Set by the cycle: the most tries one exchange took (1 without a retry).
  uint32_t mostTries = 0;
};

// Clears the six value texts, then requests, formats and reports each
// position in table order; stops at the first failure (6, 7, 8) or, after a
// position, on CancelRequested or stopRequested (10). Clears Busy on every way out. An
// exchange that ends with 7 or 8 is tried up to context.retries more times.
StatusCode runReadCycle(const StatusLine& statusLine, ControlFlags& flags, ReadContext& context);
