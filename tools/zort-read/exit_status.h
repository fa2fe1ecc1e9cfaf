// zort-read's exit status, from what became of every port it read.
#pragma once

#include <vector>

#include "protocol/status.h"

// A difference from --expect ends the program with this status.
constexpr int kMismatchExitCode = 11;

// What one port's read came to once reported, verified and journalled.
struct PortVerdict {
  StatusCode status = kStatusOk;  // the read's, or 9 when its report was not written
  bool differs = false;           // a value differs from --expect
  bool journalFailed = false;     // its journal row was not written
};

// The largest of the ports' statuses, 11 for a port whose values differ
// from --expect, at least 9 for a port whose journal row was not written;
// 1 (no port found) when there was no port to read.
int exitStatus(const std::vector<PortVerdict>& verdicts);
