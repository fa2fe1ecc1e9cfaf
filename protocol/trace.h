// Developer traces: short texts framed by spaces, without line ends, on the
// standard streams. A tool whose standard output carries data (JSON) sends
// them elsewhere or mutes them.
#pragma once

#include <cstdio>

enum TraceChannel { kTraceOut = 0, kTraceErr = 1 };

// Formats with printf rules and writes at once (flushed).
void writeTrace(TraceChannel channel, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Sends a channel to stream; nullptr mutes it. By default kTraceOut goes to
// stdout and kTraceErr to stderr.
void redirectTrace(TraceChannel channel, FILE* stream);
