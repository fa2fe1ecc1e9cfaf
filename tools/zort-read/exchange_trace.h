// The reader's --trace: every exchange's characters, with their times since
// the start of the cycle, on a stream (standard error).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

#include "serial/transaction.h"

struct ExchangeTrace {
  FILE* stream;
  std::chrono::steady_clock::time_point start;
  std::string prefix;  // before every line: the port's name when several are read
};

// An observer that writes to trace.stream, a line per exchange, per further
// try (--retries) and per write or read the system refused, with its
// reason; trace must outlive its use.
ExchangeObserver traceObserver(ExchangeTrace& trace);

// Milliseconds since trace.start.
long long elapsedMs(const ExchangeTrace& trace);

// Line characters as readable text: printable ASCII as it is, \r, \n, \\ and
// \xNN for the rest.
std::string escapeLineText(const char* characters, size_t count);
