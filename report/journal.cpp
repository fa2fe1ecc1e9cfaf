#include "report/journal.h"

#include <array>
#include <cstdio>
#include <cstdlib>

#include "protocol/parameters.h"
#include "text/cp1251.h"

namespace {

constexpr char kSeparator = ';';
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

std::string isoTimeWithOffset(const ZonedTime& time) {
  const LocalTime& t = time.local;
  const int offset = std::abs(time.utcOffsetMinutes);
  std::array<char, 40> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year,
                t.month, t.day, t.hour, t.minute, t.second, time.utcOffsetMinutes < 0 ? '-' : '+',
                offset / 60, offset % 60);
  return text.data();
}

std::string journalHeader() {
  Row row;
  for (const char* title : {"Время", "Станция", "Оператор", "Порт", "Вердикт", "Код", "Сообщение"})
    addField(row, programTextToUtf8(title));
  for (const size_t position : kReportOrder) addField(row, labelOf(position));
  for (const char* title : {"Профиль", "Попытки", "Версия программы"})
    addField(row, programTextToUtf8(title));
  return std::string(kByteOrderMark) + row.text + std::string(kJournalRowEnd);
}

std::string journalRow(const JournalEntry& entry) {
  Row row;
  addField(row, isoTimeWithOffset(entry.time));
  addField(row, entry.station);
  addField(row, entry.operatorName);
  addField(row, entry.port);
  addField(row, entry.verdict);
  addField(row, std::to_string(static_cast<unsigned>(entry.status)));
  addField(row, programTextToUtf8(statusMessage(entry.status)));
  for (const size_t position : kReportOrder)
    addField(row, cp1251ToUtf8(valueText((*entry.results)[position])));
  addField(row, entry.profile);
  addField(row, entry.tries == 0 ? "" : std::to_string(entry.tries));
  addField(row, entry.version);
  return row.text + std::string(kJournalRowEnd);
}
