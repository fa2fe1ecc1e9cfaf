// zort-read --watch: a verification station. Each port is a slot that reads
// every instrument connected to it once, gives its verdict, and waits for
// the next, until Ctrl-C; then a summary and the exit status.
#pragma once

#include <string>
#include <vector>

#include "tools/zort-read/reader_options.h"

// ports: in the platform's encoding. Returns the exit status: 0 when every
// instrument passed, 11 when one differed, otherwise the largest failure.
int runStation(const ReaderOptions& options, const std::vector<std::string>& ports);
