#include "report/journal.h"

#include <array>
#include <cstdio>

#include "os/files.h"
#include "protocol/parameters.h"
#include "text/cp1251.h"

namespace {

constexpr char kSeparator = ';';
constexpr std::string_view kRowEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string labelOf(size_t position) {
  std::string_view label = kParameterTable[position].label;
  while (!label.empty() && label.back() == ' ') label.remove_suffix(1);
  return programTextToUtf8(label);
}

// Fields are added one after another; the row's end closes them.
struct Row {
  std::string text;
  bool empty = true;
};

void addField(Row& row, std::string_view text) {
  if (!row.empty) row.text.push_back(kSeparator);
  row.text += csvField(text);
  row.empty = false;
}

std::string isoTime(const LocalTime& time) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d", time.year, time.month,
                time.day, time.hour, time.minute, time.second);
  return text.data();
}

}  // namespace

std::string csvField(std::string_view text) {
  if (text.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

std::string journalHeader(bool expectGiven) {
  Row row;
  for (const char* title : {"Время", "Порт", "Код", "Сообщение"})
    addField(row, programTextToUtf8(title));
  for (const size_t position : kReportOrder) addField(row, labelOf(position));
  if (expectGiven) addField(row, programTextToUtf8("Совпадение"));
  return std::string(kByteOrderMark) + row.text + std::string(kRowEnd);
}

std::string journalRow(const JournalEntry& entry) {
  Row row;
  addField(row, isoTime(entry.time));
  addField(row, entry.port);
  addField(row, std::to_string(static_cast<unsigned>(entry.status)));
  addField(row, programTextToUtf8(statusMessage(entry.status)));
  for (const size_t position : kReportOrder)
    addField(row, cp1251ToUtf8(valueText((*entry.results)[position])));
  if (entry.expectGiven) {
    const char* match = !entry.matched.has_value() ? "" : *entry.matched ? "да" : "нет";
    addField(row, programTextToUtf8(match));
  }
  return row.text + std::string(kRowEnd);
}

OsResult appendJournalRow(const std::string& path, const std::string& header,
                          const std::string& row) {
  OsResult result;
  // Twice at most: a journal another process makes between our two looks is
  // then appended to.
  for (int attempt = 0; attempt < 2; ++attempt) {
    result = appendToFile(path, header, row);
    if (!fileIsMissing(result)) return result;
    result = publishNewFile(path, header + row);
    if (!fileExists(result)) return result;
  }
  return result;
}
