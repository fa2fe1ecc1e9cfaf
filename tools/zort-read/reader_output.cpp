#include "tools/zort-read/reader_output.h"

#include <array>
#include <cstdio>

#include "protocol/parameters.h"
#include "text/cp1251.h"

namespace {

// Wide enough for the longest label, "Сетевой адрес:".
constexpr size_t kLabelColumn = 15;

std::string trimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

std::string valueLine(size_t position, const ResultStore& results) {
  const std::string label = programTextToUtf8(trimRight(kParameterTable[position].label)) + ":";
  std::string line = label;
  for (size_t shown = utf8Length(label); shown < kLabelColumn; ++shown) line.push_back(' ');
  line.push_back(' ');
  line += cp1251ToUtf8(valueText(results[position]));
  line.push_back('\n');
  return line;
}

}  // namespace

std::string formatValueLines(const ResultStore& results) {
  std::string lines;
  for (const size_t position : kReportOrder) lines += valueLine(position, results);
  return lines;
}

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20) {
      std::array<char, 8> escape{};
      std::snprintf(escape.data(), escape.size(), "\\u%04x", byte);
      out += escape.data();
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

namespace {

std::string jsonVerification(const Verification& verification) {
  std::string json = ", \"match\": ";
  json += !verification.compared ? "null" : verification.mismatches.empty() ? "true" : "false";
  json += ", \"mismatches\": [";
  bool first = true;
  for (const auto& mismatch : verification.mismatches) {
    if (!first) json += ", ";
    first = false;
    json += "{\"key\": " + jsonString(kParameterTable[mismatch.position].key) +
            ", \"expected\": " + jsonString(mismatch.expected) +
            ", \"value\": " + jsonString(mismatch.read) + "}";
  }
  return json + "]";
}

}  // namespace

std::string formatJson(std::string_view port, StatusCode status, const ResultStore& results,
                       const Verification* verification) {
  std::string json = "{\"port\": " + jsonString(port) + ", \"status\": " +
                     std::to_string(static_cast<unsigned>(status)) +
                     ", \"message\": " + jsonString(programTextToUtf8(statusMessage(status))) +
                     ", \"values\": [";
  for (size_t position = 0; position < kParameterCount; ++position) {
    const ParameterEntry& entry = kParameterTable[position];
    if (position != 0) json += ", ";
    json += "{\"code\": " + jsonString(std::string(1, static_cast<char>(entry.code))) +
            ", \"key\": " + jsonString(entry.key) +
            ", \"label\": " + jsonString(programTextToUtf8(entry.label)) +
            ", \"value\": " + jsonString(cp1251ToUtf8(valueText(results[position]))) + "}";
  }
  json += "]";
  if (verification != nullptr) json += jsonVerification(*verification);
  return json + "}\n";
}

std::string formatStationJson(std::string_view port, StatusCode status, const ResultStore& results,
                              const Verification* verification, std::string_view verdict,
                              std::string_view time) {
  std::string json = formatJson(port, status, results, verification);
  json.resize(json.size() - 2);  // the closing "}\n"
  return json + ", \"verdict\": " + jsonString(verdict) + ", \"time\": " + jsonString(time) + "}\n";
}
