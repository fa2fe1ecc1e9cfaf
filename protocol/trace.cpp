#include "protocol/trace.h"

#include <array>
#include <atomic>
#include <cstdarg>

namespace {

// Set before the worker starts, read by both threads.
std::array<std::atomic<FILE*>, 2> gStreams = {nullptr, nullptr};
std::array<std::atomic<bool>, 2> gRedirected = {false, false};

FILE* streamOf(TraceChannel channel) {
  if (gRedirected[channel].load()) return gStreams[channel].load();
  return channel == kTraceOut ? stdout : stderr;
}

}  // namespace

void writeTrace(TraceChannel channel, const char* format, ...) {
  FILE* stream = streamOf(channel);
  if (stream == nullptr) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stream, format, arguments);
  va_end(arguments);
  std::fflush(stream);
}

void redirectTrace(TraceChannel channel, FILE* stream) {
  gStreams[channel].store(stream);
  gRedirected[channel].store(true);
}
