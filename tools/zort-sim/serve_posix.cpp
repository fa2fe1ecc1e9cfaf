#include <poll.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <limits>

#include "tools/zort-sim/reply_render.h"
#include "tools/zort-sim/request_reader.h"
#include "tools/zort-sim/serve.h"

namespace {

constexpr size_t kMaxPendingRequests = 64;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

struct PendingRequest {
  uint8_t code;
  int64_t countsAtNs;  // when its characters would have crossed the line
};

struct ActiveReply {
  bool active = false;
  ReplyPlan plan;
  std::vector<int64_t> deadlines;  // absolute, one per character
  size_t sent = 0;
  int64_t hangUpAtNs = 0;
};

struct ServeState {
  RequestReader reader;
  std::deque<PendingRequest> pending;
  std::array<size_t, 256> turns{};
  ActiveReply reply;
  int64_t idleSinceNs = 0;  // when the last reply's last character went out
  bool warnedFull = false;
};

int64_t monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void logRequest(const ServeSettings& settings, int64_t nowNs, uint8_t code, const ScenarioEntry* entry) {
  if (settings.log == nullptr) return;
  const std::string summary = entry != nullptr ? describeEntry(*entry) : "no-entry";
  fprintf(settings.log, "%lld %02X %s\n", static_cast<long long>(nowNs / 1000000), code, summary.c_str());
  fflush(settings.log);
}

// Writes one character; a line whose reader has let its buffer fill loses it.
void writeCharacter(const SimLine& line, char c, ServeState& state) {
  for (;;) {
    const ssize_t written = write(line.fd, &c, 1);
    if (written == 1) return;
    if (written < 0 && errno == EINTR) continue;
    if (!state.warnedFull) {
      fprintf(stderr, "zort-sim: the line takes no more characters (%s); dropping them\n",
              written < 0 ? std::strerror(errno) : "short write");
      state.warnedFull = true;
    }
    return;
  }
}

void startReply(ServeState& state, const ServeSettings& settings, const Scenario& scenario,
                const PendingRequest& request, int64_t nowNs) {
  const ScenarioEntry* entry = nextEntry(scenario, state.turns, request.code);
  logRequest(settings, nowNs, request.code, entry);
  if (entry == nullptr) return;
  ActiveReply& reply = state.reply;
  reply.plan = renderReply(*entry, request.code);
  const int64_t start = std::max(request.countsAtNs, state.idleSinceNs) + settings.turnaroundNs +
                        static_cast<int64_t>(reply.plan.delayMs) * 1000000;
  const std::vector<int64_t> offsets = characterOffsets(reply.plan, settings.charNs);
  reply.deadlines.resize(offsets.size());
  for (size_t i = 0; i < offsets.size(); ++i) reply.deadlines[i] = start + offsets[i];
  reply.hangUpAtNs = start + hangUpOffset(reply.plan, offsets);
  reply.sent = 0;
  reply.active = true;
}

void takeArrivedCharacters(ServeState& state, const ServeSettings& settings, const char* characters,
                           size_t count, int64_t arrivalNs) {
  for (size_t i = 0; i < count; ++i) {
    const ArrivedRequest arrived = feedRequestCharacter(state.reader, characters[i], arrivalNs);
    if (!arrived.complete) continue;
    if (state.pending.size() >= kMaxPendingRequests) continue;
    const int64_t crossed = arrived.firstArrivalNs + static_cast<int64_t>(kRequestFrameLength) * settings.charNs;
    state.pending.push_back({arrived.code, std::max(crossed, arrivalNs)});
  }
}

}  // namespace

int serveLine(SimLine& line, const Scenario& scenario, const ServeSettings& settings) {
  ServeState state;
  for (;;) {
    const int64_t now = monotonicNs();
    ActiveReply& reply = state.reply;
    if (reply.active) {
      while (reply.sent < reply.plan.characters.size() && reply.deadlines[reply.sent] <= now) {
        writeCharacter(line, reply.plan.characters[reply.sent], state);
        ++reply.sent;
      }
      if (reply.sent == reply.plan.characters.size()) {
        if (reply.plan.hangUp && reply.hangUpAtNs <= now) {
          hangUpLine(line);
          return 0;
        }
        if (!reply.plan.hangUp) {
          reply.active = false;
          state.idleSinceNs = reply.deadlines.empty() ? 0 : reply.deadlines.back();
        }
      }
    }
    if (!reply.active && !state.pending.empty() && state.pending.front().countsAtNs <= now) {
      const PendingRequest request = state.pending.front();
      state.pending.pop_front();
      startReply(state, settings, scenario, request, now);
      continue;
    }

    int64_t wake = kNever;
    if (reply.active) {
      wake = reply.sent < reply.deadlines.size() ? reply.deadlines[reply.sent] : reply.hangUpAtNs;
    } else if (!state.pending.empty()) {
      wake = state.pending.front().countsAtNs;
    }
    timespec timeout{};
    if (wake != kNever) {
      const int64_t left = std::max<int64_t>(0, wake - now);
      timeout.tv_sec = static_cast<time_t>(left / 1000000000);
      timeout.tv_nsec = static_cast<long>(left % 1000000000);
    }
    pollfd fds[2] = {{line.fd, POLLIN, 0}, {settings.signalFd, POLLIN, 0}};
    const int ready = ppoll(fds, 2, wake == kNever ? nullptr : &timeout, nullptr);
    if (ready < 0) {
      if (errno == EINTR) continue;
      fprintf(stderr, "zort-sim: poll: %s\n", std::strerror(errno));
      return 1;
    }
    if (fds[1].revents & POLLIN) {
      signalfd_siginfo info{};
      if (read(settings.signalFd, &info, sizeof info) < 0) { /* stopping either way */ }
      return 0;
    }
    if (fds[0].revents & POLLIN) {
      char characters[256];
      const ssize_t got = read(line.fd, characters, sizeof characters);
      const int64_t arrival = monotonicNs();
      if (got > 0) {
        takeArrivedCharacters(state, settings, characters, static_cast<size_t>(got), arrival);
        continue;
      }
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      fprintf(stderr, "zort-sim: the line is gone (%s)\n", got < 0 ? std::strerror(errno) : "end of input");
      return 1;
    }
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
      fprintf(stderr, "zort-sim: the line was hung up\n");
      return 1;
    }
  }
}
