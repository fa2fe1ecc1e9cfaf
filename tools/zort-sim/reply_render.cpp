#include "tools/zort-sim/reply_render.h"

#include <algorithm>

#include "protocol/frame.h"

std::string renderFrame(const std::string& bytes, bool badLrc, bool lowercase) {
  const char* digits = lowercase ? "0123456789abcdef" : "0123456789ABCDEF";
  std::string values(bytes);
  const uint8_t lrc = computeLrc(reinterpret_cast<const uint8_t*>(values.data()), values.size());
  values.push_back(static_cast<char>(badLrc ? lrc + 1 : lrc));
  std::string frame = ":";
  for (const char value : values) {
    const auto byte = static_cast<uint8_t>(value);
    frame.push_back(digits[byte >> 4]);
    frame.push_back(digits[byte & 0x0F]);
  }
  frame += "\r\n";
  return frame;
}

std::string fitToLength(const std::string& frame, size_t count) {
  if (count <= frame.size()) return frame.substr(0, count);
  std::string body = frame;
  if (body.size() >= 2 && body.compare(body.size() - 2, 2, "\r\n") == 0) body.resize(body.size() - 2);
  // Raw text without CR LF of its own: still exactly count characters.
  if (count < body.size() + 2) return (body + "\r\n").substr(0, count);
  body.append(count - body.size() - 2, '0');
  body += "\r\n";
  return body;
}

ReplyPlan renderReply(const ScenarioEntry& entry, uint8_t code) {
  ReplyPlan plan;
  plan.delayMs = entry.delayMs;
  plan.hasPause = entry.hasPause;
  plan.pauseAfter = entry.pauseAfter;
  plan.pauseMs = entry.pauseMs;

  const RequestFrame request = buildRequestFrame(code);
  const std::string echo(request.data(), request.size());
  if (entry.silent) {
    // nothing is sent
  } else if (entry.echoOnly) {
    plan.characters = echo;
  } else {
    std::string frame = entry.hasRaw ? entry.raw : renderFrame(entry.bytes, entry.badLrc, entry.lowercase);
    if (entry.hasLength) frame = fitToLength(frame, entry.length);
    if (entry.echo) plan.characters = echo;
    plan.characters += entry.prefix;
    plan.characters += frame;
    plan.characters += entry.suffix;
  }
  if (entry.hasHangUp) {
    plan.hangUp = true;
    plan.hangUpAfter = std::min(entry.hangUpAfter, plan.characters.size());
    plan.characters.resize(plan.hangUpAfter);
  }
  return plan;
}

std::vector<int64_t> characterOffsets(const ReplyPlan& plan, int64_t charNs) {
  std::vector<int64_t> offsets(plan.characters.size());
  const int64_t pauseNs = plan.hasPause ? static_cast<int64_t>(plan.pauseMs) * 1000000 : 0;
  for (size_t i = 0; i < offsets.size(); ++i) {
    offsets[i] = static_cast<int64_t>(i + 1) * charNs;
    if (plan.hasPause && i >= plan.pauseAfter) offsets[i] += pauseNs;
  }
  return offsets;
}

int64_t hangUpOffset(const ReplyPlan& plan, const std::vector<int64_t>& offsets) {
  if (!plan.hangUp || plan.hangUpAfter == 0 || offsets.empty()) return 0;
  return offsets[std::min(plan.hangUpAfter, offsets.size()) - 1];
}
