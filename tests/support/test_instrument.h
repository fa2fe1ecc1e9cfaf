// The instrument the native tests play with zort-sim: one scenario line per
// parameter in table order, and the values the reader shows for them.
#pragma once

#include <array>
#include <string>

#include "protocol/parameters.h"

extern const std::array<std::string, kParameterCount> kTestInstrumentLines;
extern const std::array<std::string, kParameterCount> kTestInstrumentValues;

// The test instrument's scenario, with the line of position (if below 6)
// replaced by its code and fields, e.g. instrumentScenario(3, "silent").
std::string instrumentScenario(size_t position = kParameterCount, const std::string& fields = "");

// The characters one six-parameter cycle of the test instrument puts on the
// line: the requests and the replies, without echo.
size_t instrumentCycleLineCharacters();
