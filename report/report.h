// The identification report: six labelled values in report order, and the
// name of the file that holds them. Platform-free; the dialog and the
// command-line reader build the same bytes and the same name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "os/local_time.h"

// Label and value texts are cut at 59 characters, as the dialog's 60-byte
// text buffers cut them.
constexpr size_t kMaxReportFieldLength = 59;
constexpr size_t kReportBufferSize = 2048;

// One text source for the report lines: given a control ID (value control, or
// value control + 256 for its label), yields its text.
struct ReportTextSource {
  std::string (*textOf)(void* context, uint32_t controlId);
  void* context;
};

// "label= value;\r\n" for each control of the export list, in its order.
std::string buildReportText(const ReportTextSource& source);

// "<serial>_<d>-<mm>-<yyyy>_<hh>_<mm>_<ss>.txt", the day padded with a space.
// Characters not allowed in Windows file names (\ / : * ? " < > | and those
// below 0x20) become "_", so the name never leaves the folder; any length.
std::string buildReportFileName(std::string_view serialNumber, const LocalTime& time);
