// zort-read's work: the reads of the ports given, as a pipeline.
#pragma once

#include <vector>

#include "serial/discovery.h"
#include "tools/zort-read/reader_options.h"

// The ports --all reads, in order: listPortDetails, which --list prints too;
// a test hands in a made-up machine's.
using PortLister = std::vector<PortInfo> (*)();

// Resolves the ports (--simulate, --all), reads each on a worker of its own,
// then for each outcome in the order given writes the report, compares with
// --expect, prints and journals; returns the exit status (exit_status.h).
int readInstrument(const ReaderOptions& options, PortLister listPorts);
