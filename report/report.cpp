#include "report/report.h"

#include <array>
#include <cstdio>

#include "protocol/parameters.h"

namespace {

std::string_view cut(const std::string& text) {
  return std::string_view(text).substr(0, kMaxReportFieldLength);
}

bool allowedInFileName(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20) return false;
  return std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos;
}

}  // namespace

std::string buildReportText(const ReportLines& lines) {
  std::string report;
  for (const ReportLine& line : lines) {
    report.append(cut(line.label));
    report.append("= ");
    report.append(cut(line.value));
    report.append(";\r\n");
  }
  return report;
}

ReportLines reportLinesOf(const ResultStore& results) {
  ReportLines lines;
  for (size_t line = 0; line < kParameterCount; ++line) {
    const size_t position = kReportOrder[line];
    lines[line] = {kParameterTable[position].label, std::string(valueText(results[position]))};
  }
  return lines;
}

std::string buildReportFileName(std::string_view serialNumber, const LocalTime& time) {
  std::string name;
  name.reserve(serialNumber.size() + 24);
  for (const char c : serialNumber) name.push_back(allowedInFileName(c) ? c : '_');
  std::array<char, 64> stamp{};
  std::snprintf(stamp.data(), stamp.size(), "_%2d-%02d-%04d_%02d_%02d_%02d.txt", time.day,
                time.month, time.year, time.hour, time.minute, time.second);
  name.append(stamp.data());
  return name;
}
