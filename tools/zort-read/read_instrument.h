// zort-read's work: one read of an instrument.
#pragma once

#include "tools/zort-read/reader_options.h"

// Opens the port (or the simulated instrument's), runs one read cycle,
// writes the report if asked and prints the outcome. Returns the status
// code, which is the exit status.
int readInstrument(const ReaderOptions& options);
