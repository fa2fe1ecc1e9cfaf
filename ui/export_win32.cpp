#include "ui/export.h"

#include <algorithm>
#include <array>
#include <string>

#include "protocol/parameters.h"
#include "protocol/results.h"
#include "protocol/status.h"
#include "report/report.h"

namespace {

// As the controls show them, cut as a 60-byte WM_GETTEXT buffer cuts them.
constexpr size_t kFieldBufferSize = kMaxReportFieldLength + 1;

std::string dialogControlText(void* context, uint32_t controlId) {
  HWND control = GetDlgItem(static_cast<HWND>(context), static_cast<int>(controlId));
  if (control == nullptr) return {};
  std::array<char, kFieldBufferSize> text{};
  const LRESULT length = SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  if (length <= 0) return {};
  return std::string(text.data(), std::min(static_cast<size_t>(length), kMaxReportFieldLength));
}

LocalTime localTimeNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace

void onExportClicked(const AppState& state) {
  const ReportTextSource source{dialogControlText, state.windows.dialog};
  const std::string text = buildReportText(source);
  // The name keeps the serial number as read, whatever the field shows now.
  const std::string_view serial = valueText(state.buffers->results[kSerialNumberPosition]);
  const std::string name = buildReportFileName(serial, localTimeNow());
  if (writeReportFile("", name, text) != kStatusOk)
    SendMessageA(state.windows.statusLine, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(statusMessage(kStatusWriteFileFailed)));
}
