#include "tools/zort-read/exchange_trace.h"

#include <array>

#include "os/console.h"

namespace {

double elapsedExactMs(const ExchangeTrace& trace) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - trace.start)
      .count();
}

void writeExchange(void* context, const char* direction, const char* characters, size_t count) {
  auto& trace = *static_cast<ExchangeTrace*>(context);
  printText(trace.stream, "%s%9.1f ms %s %3zu %s\n", trace.prefix.c_str(), elapsedExactMs(trace),
               direction, count, escapeLineText(characters, count).c_str());
  std::fflush(trace.stream);
}

void onSent(void* context, const char* characters, size_t count) {
  writeExchange(context, "sent    ", characters, count);
}

void onReceived(void* context, const char* characters, size_t count) {
  writeExchange(context, "received", characters, count);
}

void onRetry(void* context, uint32_t attempt, StatusCode status) {
  auto& trace = *static_cast<ExchangeTrace*>(context);
  printText(trace.stream, "%s%9.1f ms try %u after status %u\n", trace.prefix.c_str(),
               elapsedExactMs(trace), static_cast<unsigned>(attempt), static_cast<unsigned>(status));
  std::fflush(trace.stream);
}

void onFailure(void* context, const char* operation, const char* reason) {
  auto& trace = *static_cast<ExchangeTrace*>(context);
  printText(trace.stream, "%s%9.1f ms %s failed: %s\n", trace.prefix.c_str(),
               elapsedExactMs(trace), operation, reason);
  std::fflush(trace.stream);
}

}  // namespace

ExchangeObserver traceObserver(ExchangeTrace& trace) {
  return {onSent, onReceived, &trace, onRetry, onFailure};
}

long long elapsedMs(const ExchangeTrace& trace) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               trace.start)
      .count();
}

std::string escapeLineText(const char* characters, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    const auto byte = static_cast<unsigned char>(characters[i]);
    if (byte == '\r') {
      text += "\\r";
    } else if (byte == '\n') {
      text += "\\n";
    } else if (byte == '\\') {
      text += "\\\\";
    } else if (byte >= 0x20 && byte < 0x7F) {
      text.push_back(static_cast<char>(byte));
    } else {
      std::array<char, 8> escape{};
      std::snprintf(escape.data(), escape.size(), "\\x%02X", byte);
      text += escape.data();
    }
  }
  return text;
}
