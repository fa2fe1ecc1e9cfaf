// Developer traces: short texts framed by spaces, without line ends, on the
// standard streams. A tool whose standard output carries data (JSON) sends
// them elsewhere or mutes them.
#pragma once

#include <cstdio>

enum TraceChannel { kTraceOut = 0, kTraceErr = 1 };

// The trace lines are a contract: whoever watches a run (the tests, the
// people who know the program) reads them exactly as they are, spaces
// included. Each is written here and nowhere else; macros, so that the
// compiler checks each use against its printf format.
#define ZORT_TRACE_DIALOG_ENDED " MStarts "        // kTraceOut: the shell, after the dialog ended
#define ZORT_TRACE_WORKER_STARTS " sStarts!=%x "   // kTraceOut: worker start, the flags word
#define ZORT_TRACE_CYCLE_STARTED " Started "       // kTraceOut: the start of a cycle
#define ZORT_TRACE_WORKER_ENDS " Ends! "           // kTraceOut: the worker's end
#define ZORT_TRACE_CHECKSUM " ZZZ =%x, X=%x "      // kTraceOut: checksum preset, version and value
#define ZORT_TRACE_WORKER_JOINED "join thread=%x " // kTraceErr: shutdown, the flags word

// Formats with printf rules and writes at once (flushed).
void writeTrace(TraceChannel channel, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Sends a channel to stream; nullptr mutes it. By default kTraceOut goes to
// stdout and kTraceErr to stderr.
void redirectTrace(TraceChannel channel, FILE* stream);
