// zort-read's work: the reads of the ports given, as a pipeline.
#pragma once

#include "tools/zort-read/reader_options.h"

// Resolves the ports (--simulate, --all), reads each on a worker of its own,
// then for each outcome in the order given writes the report, compares with
// --expect, prints and journals; returns the exit status (exit_status.h).
int readInstrument(const ReaderOptions& options);
