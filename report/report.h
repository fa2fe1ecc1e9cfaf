// The identification report: six labelled values in report order, and the
// name of the file that holds them. Platform-free; the dialog and the
// command-line reader build the same bytes and the same name.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "os/local_time.h"
#include "protocol/parameters.h"
#include "protocol/results.h"

// Label and value texts are cut at 59 characters, as the dialog's 60-byte
// text buffers cut them.
constexpr size_t kMaxReportFieldLength = 59;
constexpr size_t kReportBufferSize = 2048;

// One line of the report, in Windows-1251: the label and the value as their
// supplier has them (the dialog: its controls' texts; zort-read: the table's
// labels and the values read).
struct ReportLine {
  std::string label;
  std::string value;
};

// The six lines in report order (kReportOrder).
using ReportLines = std::array<ReportLine, kParameterCount>;

// "label= value;\r\n" for each line, in their order.
std::string buildReportText(const ReportLines& lines);

// The lines of the values read, with the table's labels, in report order.
ReportLines reportLinesOf(const ResultStore& results);

// "<serial>_<d>-<mm>-<yyyy>_<hh>_<mm>_<ss>.txt", the day padded with a space.
// Characters not allowed in Windows file names (\ / : * ? " < > | and those
// below 0x20) become "_", so the name never leaves the folder; any length.
std::string buildReportFileName(std::string_view serialNumber, const LocalTime& time);
