#include "ui/export.h"

#include <string>

#include "os/local_time.h"
#include "protocol/parameters.h"
#include "protocol/results.h"
#include "protocol/status.h"
#include "report/report.h"
#include "report/report_file.h"
#include "ui/controls.h"

namespace {

// As the controls show them, at most 59 characters, in Windows-1251.
std::string dialogControlText(void* context, uint32_t controlId) {
  HWND control = GetDlgItem(static_cast<HWND>(context), static_cast<int>(controlId));
  if (control == nullptr) return {};
  return controlText(control, kMaxReportFieldLength);
}

}  // namespace

void onExportClicked(const AppState& state) {
  const ReportTextSource source{dialogControlText, state.windows.dialog};
  const std::string text = buildReportText(source);
  // The name keeps the serial number as read, whatever the field shows now.
  const std::string_view serial = valueText(state.buffers->results[kSerialNumberPosition]);
  const std::string name = buildReportFileName(serial, localTimeNow());
  // Two exports within one second: the second replaces the first's file.
  if (writeReportFile("", name, text, ExistingReport::kReplace).status != kStatusOk)
    setText(state.windows.statusLine, statusMessage(kStatusWriteFileFailed));
}
