// What zort-read prints: the six labelled values, or one JSON object. Every
// text comes out in UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "protocol/results.h"
#include "protocol/status.h"
#include "tools/zort-read/verification.h"

// One line per value, "label: value", in the report's order.
std::string formatValueLines(const ResultStore& results);

// {"port": ..., "status": N, "message": ..., "values": [...]}, the values in
// request order, one entry per parameter ({"code", "key", "label", "value"});
// a value not read is "". With --expect (verification not null) also
// "match" (true, false, or null when nothing was compared) and
// "mismatches": [{"key", "expected", "value"}, ...]. port is UTF-8 already;
// the program's texts are converted. One line.
std::string formatJson(std::string_view port, StatusCode status, const ResultStore& results,
                       const Verification* verification = nullptr);

// The station's object of one instrument: formatJson's, with "verdict"
// ("pass", "fail", "error") and "time" (ISO 8601 with the UTC offset) added.
std::string formatStationJson(std::string_view port, StatusCode status, const ResultStore& results,
                              const Verification* verification, std::string_view verdict,
                              std::string_view time);

// A UTF-8 text as a quoted JSON string.
std::string jsonString(std::string_view text);
