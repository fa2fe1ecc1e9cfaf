#include "ui/export.h"

#include <string>

#include "os/local_time.h"
#include "protocol/parameters.h"
#include "protocol/results.h"
#include "protocol/status.h"
#include "report/report.h"
#include "report/report_file.h"
#include "ui/controls.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"
#include "ui/report_folder.h"

namespace {

// As the control shows it, at most 59 characters, in Windows-1251.
std::string dialogControlText(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  if (control == nullptr) return {};
  return controlText(control, kMaxReportFieldLength);
}

// The labels and values as the dialog shows them, in report order.
ReportLines dialogReportLines(HWND dialog) {
  ReportLines lines;
  for (size_t line = 0; line < kParameterCount; ++line) {
    const int value = kValueControls[kReportOrder[line]];
    lines[line] = {dialogControlText(dialog, labelControlOf(value)),
                   dialogControlText(dialog, value)};
  }
  return lines;
}

}  // namespace

void onExportClicked(const AppState& state) {
  const std::string text = buildReportText(dialogReportLines(state.windows.dialog));
  // The name keeps the serial number as read, whatever the field shows now.
  const std::string_view serial = valueText(state.buffers->results[kSerialNumberPosition]);
  const std::string name = buildReportFileName(serial, localTimeNow());
  // The current folder, as ever, unless it is temporary or takes no file.
  // Two exports within one second: the second replaces the first's file.
  if (!currentFolderIsTemporary() &&
      writeReportFile("", name, text, ExistingReport::kReplace).status == kStatusOk)
    return;
  const std::string documents = documentsFolder();
  if (!documents.empty() &&
      writeReportFile(documents, name, text, ExistingReport::kReplace).status == kStatusOk) {
    setText(state.windows.statusLine, kSavedToDocumentsText);
    return;
  }
  setText(state.windows.statusLine, statusMessage(kStatusWriteFileFailed));
}
