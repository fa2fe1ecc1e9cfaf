// zort-read's work: one read of an instrument, and the port list.
#pragma once

#include "tools/zort-read/reader_options.h"

// Opens the port (or the simulated instrument's), runs one read cycle,
// writes the report if asked and prints the outcome. Returns the status
// code, which is the exit status.
int readInstrument(const ReaderOptions& options);

// Prints the serial ports found, one a line; 0, or 1 when there is none.
int listPorts();
