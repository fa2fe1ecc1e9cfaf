#include "tools/zort-sim/scenario.h"

#include <charconv>
#include <cstdio>

#include "tools/zort-sim/text_value.h"

namespace {

constexpr uint32_t kMaxMs = 600000;

// The fields a line may carry; each at most once.
enum Field : uint32_t {
  kReply, kType, kValue, kText, kText1, kText2, kHeader, kSilent, kEcho, kEchoOnly, kBadLrc,
  kLowercase, kPause, kPrefix, kSuffix, kLength, kHangUp, kDelay, kRaw, kFieldCount
};

struct FieldName {
  std::string_view name;
  bool takesValue;
};

constexpr std::array<FieldName, kFieldCount> kFieldNames = {{
    {"reply", true}, {"type", true}, {"value", true}, {"text", true}, {"text1", true},
    {"text2", true}, {"header", true}, {"silent", false}, {"echo", false},
    {"echo-only", false}, {"bad-lrc", false}, {"lowercase", false}, {"pause", true},
    {"prefix", true}, {"suffix", true}, {"length", true}, {"hangup", true}, {"delay", true},
    {"raw", true},
}};

// What the semantic form gives before it is assembled into reply bytes.
struct LineFields {
  std::array<bool, kFieldCount> seen{};
  uint8_t type = 0;
  std::string value, text, text1, text2, header;
};

bool parseUnsigned(std::string_view digits, uint64_t maximum, uint64_t& number) {
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
    base = 16;
  }
  if (digits.empty()) return false;
  uint64_t parsed = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed, base);
  if (error != std::errc() || end != digits.data() + digits.size() || parsed > maximum) return false;
  number = parsed;
  return true;
}

std::string parseCode(std::string_view token, uint8_t& code) {
  if (token.size() == 1 && token[0] > ' ' && token[0] < 0x7F) {
    code = static_cast<uint8_t>(token[0]);
    return "";
  }
  uint64_t number = 0;
  if (token.size() == 4 && token.substr(0, 2) == "0x" && parseUnsigned(token, 0xFF, number)) {
    code = static_cast<uint8_t>(number);
    return "";
  }
  return "the request code must be one character or 0xNN, not \"" + std::string(token) + "\"";
}

std::string parseCount(std::string_view field, std::string_view digits, uint64_t maximum,
                       uint64_t& number) {
  if (!parseUnsigned(digits, maximum, number))
    return std::string(field) + "= needs a number from 0 to " + std::to_string(maximum);
  return "";
}

// Stores one field of the line; returns "" or the reason it is wrong.
std::string takeField(std::string_view token, ScenarioEntry& entry, LineFields& fields) {
  const size_t equals = token.find('=');
  const std::string_view name = token.substr(0, equals);
  const bool hasValue = equals != std::string_view::npos;
  const std::string_view value = hasValue ? token.substr(equals + 1) : std::string_view();
  size_t field = kFieldCount;
  for (size_t i = 0; i < kFieldNames.size(); ++i) {
    if (kFieldNames[i].name == name) field = i;
  }
  if (field == kFieldCount) return "unknown field \"" + std::string(name) + "\"";
  if (kFieldNames[field].takesValue != hasValue) {
    return hasValue ? std::string(name) + " takes no value"
                    : std::string(name) + " needs a value (" + std::string(name) + "=...)";
  }
  if (fields.seen[field]) return std::string(name) + " is given twice";
  fields.seen[field] = true;

  uint64_t number = 0;
  std::string problem;
  switch (static_cast<Field>(field)) {
    case kReply:
      problem = decodeHexBytes(value, entry.bytes);
      if (!problem.empty()) return "reply=: " + problem;
      entry.hasBytes = true;
      return "";
    case kType:
      problem = parseCount(name, value, 0xFF, number);
      fields.type = static_cast<uint8_t>(number);
      return problem;
    case kValue:
      problem = decodeHexBytes(value, fields.value);
      return problem.empty() ? "" : "value=: " + problem;
    case kHeader:
      problem = decodeHexBytes(value, fields.header);
      if (problem.empty() && fields.header.size() != 5) problem = "needs exactly 5 bytes";
      return problem.empty() ? "" : "header=: " + problem;
    case kText:
    case kText1:
    case kText2:
    case kPrefix:
    case kSuffix:
    case kRaw: {
      std::string* target = field == kText    ? &fields.text
                            : field == kText1 ? &fields.text1
                            : field == kText2 ? &fields.text2
                            : field == kPrefix ? &entry.prefix
                            : field == kSuffix ? &entry.suffix
                                               : &entry.raw;
      problem = decodeTextValue(value, *target);
      if (field == kRaw) entry.hasRaw = true;
      return problem.empty() ? "" : std::string(name) + "=: " + problem;
    }
    case kSilent: entry.silent = true; return "";
    case kEcho: entry.echo = true; return "";
    case kEchoOnly: entry.echoOnly = true; return "";
    case kBadLrc: entry.badLrc = true; return "";
    case kLowercase: entry.lowercase = true; return "";
    case kPause: {
      const size_t colon = value.find(':');
      uint64_t ms = 0;
      if (colon == std::string_view::npos ||
          !parseUnsigned(value.substr(0, colon), kMaxSimReplyCharacters, number) ||
          !parseUnsigned(value.substr(colon + 1), kMaxMs, ms))
        return "pause= needs N:MS (characters before the pause, then milliseconds up to " +
               std::to_string(kMaxMs) + ")";
      entry.hasPause = true;
      entry.pauseAfter = number;
      entry.pauseMs = static_cast<uint32_t>(ms);
      return "";
    }
    case kLength:
      problem = parseCount(name, value, kMaxSimReplyCharacters, number);
      entry.hasLength = true;
      entry.length = number;
      return problem;
    case kHangUp:
      problem = parseCount(name, value, kMaxSimReplyCharacters, number);
      entry.hasHangUp = true;
      entry.hangUpAfter = number;
      return problem;
    case kDelay:
      problem = parseCount(name, value, kMaxMs, number);
      entry.delayMs = static_cast<uint32_t>(number);
      return problem;
    case kFieldCount: break;
  }
  return "unknown field";
}

bool anySeen(const LineFields& fields, std::initializer_list<Field> which) {
  for (const Field field : which) {
    if (fields.seen[field]) return true;
  }
  return false;
}

// Checks how the fields combine and assembles the semantic form's bytes.
std::string finishEntry(ScenarioEntry& entry, LineFields& fields) {
  const bool semantic = anySeen(fields, {kType, kValue, kText, kText1, kText2, kHeader});
  const bool framing = anySeen(fields, {kBadLrc, kLowercase, kLength});
  const bool around = anySeen(fields, {kEcho, kPrefix, kSuffix});

  if (entry.silent && (semantic || framing || around || entry.echoOnly || entry.hasRaw || entry.hasBytes))
    return "silent sends nothing: only hangup= and delay= go with it";
  if (entry.echoOnly && (semantic || framing || around || entry.hasRaw || entry.hasBytes))
    return "echo-only sends only the echo: only pause=, hangup= and delay= go with it";
  if (entry.hasRaw && (semantic || entry.hasBytes || fields.seen[kBadLrc] || fields.seen[kLowercase]))
    return "raw= is sent instead of a frame: no reply=, type= or frame options with it";
  if (entry.hasBytes && semantic) return "give either reply= or type=/value=, not both";

  if (semantic) {
    if (!fields.seen[kType]) return "the semantic form needs type=N";
    if (fields.seen[kText] && fields.type != 11) return "text= is the value of type 11 only";
    if (fields.seen[kText] && fields.seen[kValue]) return "give either value= or text=, not both";
    const char header[5] = {0x00, 0x02, 0x00, static_cast<char>(entry.code), 0x38};
    entry.bytes = fields.seen[kHeader] ? fields.header : std::string(header, sizeof header);
    entry.bytes.push_back(fields.seen[kText2] ? 0x01 : 0x00);
    entry.bytes += fields.text1;
    entry.bytes.push_back('\0');
    if (fields.seen[kText2]) {
      entry.bytes += fields.text2;
      entry.bytes.push_back('\0');
    }
    entry.bytes.push_back(static_cast<char>(fields.type));
    if (fields.seen[kText]) {
      entry.bytes += fields.text;
      entry.bytes.push_back('\0');
    } else {
      entry.bytes += fields.value;
    }
    entry.hasBytes = true;
  }

  if (!entry.silent && !entry.echoOnly && !entry.hasRaw && !entry.hasBytes)
    return "no reply: give reply=, type=..., raw=, silent or echo-only";
  const size_t frameCharacters = 1 + 2 * (entry.bytes.size() + 1) + 2;
  if (entry.bytes.size() > kMaxSimReplyCharacters || frameCharacters > kMaxSimReplyCharacters)
    return "the reply is longer than " + std::to_string(kMaxSimReplyCharacters) + " characters";
  return "";
}

std::vector<std::string_view> splitWords(std::string_view line) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at >= line.size()) break;
    if (line[at] == '#') break;  // a comment runs to the end of the line
    const size_t start = at;
    while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
    words.push_back(line.substr(start, at - start));
  }
  return words;
}

}  // namespace

ScenarioError parseScenario(std::string_view text, Scenario& scenario) {
  scenario = Scenario{};
  size_t lineNumber = 0;
  size_t at = 0;
  while (at < text.size()) {
    ++lineNumber;
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::vector<std::string_view> words = splitWords(line);
    if (words.empty()) continue;
    ScenarioEntry entry;
    entry.line = lineNumber;
    std::string problem = parseCode(words[0], entry.code);
    LineFields fields;
    for (size_t i = 1; problem.empty() && i < words.size(); ++i)
      problem = takeField(words[i], entry, fields);
    if (problem.empty()) problem = finishEntry(entry, fields);
    if (!problem.empty()) return {lineNumber, problem};

    scenario.byCode[entry.code].push_back(scenario.entries.size());
    scenario.entries.push_back(std::move(entry));
  }
  return {};
}

const ScenarioEntry* nextEntry(const Scenario& scenario, std::array<size_t, 256>& turns,
                               uint8_t code) {
  const std::vector<size_t>& indices = scenario.byCode[code];
  if (indices.empty()) return nullptr;
  const size_t turn = turns[code] % indices.size();
  turns[code] = turn + 1;
  return &scenario.entries[indices[turn]];
}

std::string describeEntry(const ScenarioEntry& entry) {
  std::string words;
  auto add = [&words](const std::string& word) {
    if (!words.empty()) words += ' ';
    words += word;
  };
  if (entry.silent) add("silent");
  if (entry.echo) add("echo");
  if (entry.echoOnly) add("echo-only");
  if (entry.hasRaw) add("raw");
  if (entry.badLrc) add("bad-lrc");
  if (entry.lowercase) add("lowercase");
  if (!entry.prefix.empty()) add("prefix");
  if (!entry.suffix.empty()) add("suffix");
  if (entry.hasLength) add("length=" + std::to_string(entry.length));
  if (entry.hasPause) add("pause=" + std::to_string(entry.pauseAfter) + ":" + std::to_string(entry.pauseMs));
  if (entry.hasHangUp) add("hangup=" + std::to_string(entry.hangUpAfter));
  if (entry.delayMs != 0) add("delay=" + std::to_string(entry.delayMs));
  if (words.empty()) words = "normal";
  return words + " line=" + std::to_string(entry.line);
}
