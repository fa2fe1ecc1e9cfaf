// Outcome codes of every operation of the link, the reading and the port
// handling, and the texts the status line shows for them.
#pragma once

#include <cstdint>

enum StatusCode : uint32_t {
  kStatusOk = 0,
  kStatusNoPortFound = 1,
  kStatusOpenFailed = 2,
  kStatusDcbFailed = 3,
  kStatusCfgFailed = 4,
  kStatusTimeoutsFailed = 5,
  kStatusSendFailed = 6,
  kStatusNoAnswer = 7,
  kStatusBadFormat = 8,
  kStatusWriteFileFailed = 9,
  kStatusInterrupted = 10,
};

constexpr uint32_t kStatusCodeCount = 11;

// The Windows-1251 text of a code; codes outside 0..10 yield "".
const char* statusMessage(uint32_t code);
