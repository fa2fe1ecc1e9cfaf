// The scenario: which reply the simulated instrument gives to each request
// code, and how it misbehaves while giving it. One entry per file line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ScenarioEntry {
  uint8_t code = 0;
  size_t line = 0;  // line of the scenario text it came from

  // What is sent: the decoded reply bytes without the LRC (reply= or the
  // semantic form), or raw characters instead of a frame.
  bool hasBytes = false;
  std::string bytes;
  bool hasRaw = false;
  std::string raw;

  // Misbehaviours.
  bool silent = false;
  bool echo = false;
  bool echoOnly = false;
  bool badLrc = false;
  bool lowercase = false;
  bool hasPause = false;
  size_t pauseAfter = 0;  // characters sent before the pause
  uint32_t pauseMs = 0;
  std::string prefix;
  std::string suffix;
  bool hasLength = false;
  size_t length = 0;
  bool hasHangUp = false;
  size_t hangUpAfter = 0;  // characters sent before the hang-up
  uint32_t delayMs = 0;
};

struct Scenario {
  std::vector<ScenarioEntry> entries;              // in file order
  std::array<std::vector<size_t>, 256> byCode{};   // entry indices per request code
};

struct ScenarioError {
  size_t line = 0;      // 0: no error
  std::string message;  // what is wrong on that line
};

// Parses a whole scenario text; on error, scenario holds the lines before it.
ScenarioError parseScenario(std::string_view text, Scenario& scenario);

// The entry for the next request with code, taking a code's entries in turn
// (turns holds the per-code position); nullptr if the code has none.
const ScenarioEntry* nextEntry(const Scenario& scenario, std::array<size_t, 256>& turns,
                               uint8_t code);

// The entry's misbehaviours as the log shows them ("normal" if none),
// followed by " line=N".
std::string describeEntry(const ScenarioEntry& entry);

// Upper bound on the characters of one reply, to keep a typo from filling memory.
constexpr size_t kMaxSimReplyCharacters = 65536;
