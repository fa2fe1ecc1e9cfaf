#include "ui/export.h"

#include <string>

#include "protocol/parameters.h"
#include "protocol/results.h"
#include "protocol/status.h"
#include "report/report.h"
#include "ui/controls.h"
#include "ui/dialog_texts.h"
#include "ui/report_folder.h"

namespace {

// As the controls show them, at most 59 characters, in Windows-1251.
std::string dialogControlText(void* context, uint32_t controlId) {
  HWND control = GetDlgItem(static_cast<HWND>(context), static_cast<int>(controlId));
  if (control == nullptr) return {};
  return controlText(control, kMaxReportFieldLength);
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
  // The current folder, as ever, unless it is temporary or takes no file.
  if (!currentFolderIsTemporary() && writeReportFile("", name, text) == kStatusOk) return;
  const std::string documents = documentsFolder();
  if (!documents.empty() && writeReportFile(documents, name, text) == kStatusOk) {
    setText(state.windows.statusLine, kSavedToDocumentsText);
    return;
  }
  setText(state.windows.statusLine, statusMessage(kStatusWriteFileFailed));
}
