#include "ui/main_dialog.h"

#include <array>

#include "protocol/parameters.h"
#include "protocol/status.h"
#include "serial/port.h"
#include "ui/app_state.h"
#include "ui/controls.h"
#include "ui/desktop.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"
#include "ui/export.h"
#include "ui/port_list.h"
#include "ui/read_view.h"

namespace {

constexpr size_t kLabelBufferSize = 80;

// The port list is refreshed this long after the last device change of a
// burst; SetTimer with the same ID starts the wait again.
constexpr UINT_PTR kDeviceChangeTimer = 1;
constexpr UINT kDeviceChangeQuietMs = 300;

void initDialog(AppState& state, HWND dialog) {
  DialogHandles& w = state.windows;
  w.dialog = dialog;
  setDialogIcons(dialog, state.instance);
  w.portList = GetDlgItem(dialog, kPortList);
  w.readButton = GetDlgItem(dialog, kReadButton);
  w.exportButton = GetDlgItem(dialog, kExportButton);
  w.openButton = GetDlgItem(dialog, kOpenButton);
  w.statusLine = GetDlgItem(dialog, kStatusLine);
  w.marker = GetDlgItem(dialog, kOpenedMarker);
  ValueControls& values = state.buffers->valueControls;
  for (size_t i = 0; i < kParameterCount; ++i)
    values[i] = GetDlgItem(dialog, kValueControls[i]);
  state.worker.view = dialogReadView(state);

  show(w.readButton, false);
  show(w.exportButton, false);
  show(w.portList, false);
  show(w.openButton, false);
  state.portsFound = false;  // so that the first listing sets the view
  refreshPortList(state);
  for (size_t i = 0; i < kParameterCount; ++i) {
    const int label = labelControlOf(kValueControls[i]);
    // Straight from the UTF-16 string table: LoadStringA would pass them
    // through the system's code page, which may lack Cyrillic.
    std::array<wchar_t, kLabelBufferSize> text{};
    if (LoadStringW(state.instance, label, text.data(), static_cast<int>(text.size())) > 0)
      SetDlgItemTextW(dialog, label, text.data());
  }
  UpdateWindow(dialog);
}

void closeConnection(AppState& state) {
  const DialogHandles& w = state.windows;
  show(w.portList, true);
  show(w.marker, false);
  show(w.readButton, false);
  show(w.exportButton, false);
  setText(w.openButton, kSelectText);
  setChecked(w.openButton, false);
  // A cycle still using the port keeps the handle until its transaction
  // ends; its next transaction finds the port closed and ends the cycle.
  closePort(state.port);
  // Ports that came or went while it was open.
  refreshPortList(state);
}

void openConnection(AppState& state) {
  const DialogHandles& w = state.windows;
  show(w.portList, false);
  const std::string name = chosenPortName(state);
  const StatusCode status = openPort(state.port, name.c_str(), kLineMode);
  if (status == kStatusOk) raiseControlLines(state.port);
  setText(w.statusLine, statusMessage(status));
  if (status == kStatusOk) show(w.readButton, true);
  show(w.marker, true);
  setText(w.openButton, name.c_str());
  setChecked(w.openButton, true);
}

void onOpenClicked(AppState& state) {
  if (!state.portsFound) {
    refreshPortList(state);
    return;
  }
  if (isChecked(state.windows.openButton))
    closeConnection(state);
  else
    openConnection(state);
  UpdateWindow(state.windows.dialog);
}

// The dialog ends the program: the hidden window goes and posts the quit.
void endDialog(const AppState& state, HWND dialog, INT_PTR result) {
  SendMessageA(state.hiddenWindow, WM_COMMAND, kCloseCommand, 0);
  EndDialog(dialog, result);
}

INT_PTR onCommand(AppState& state, HWND dialog, WPARAM wParam) {
  const int control = LOWORD(wParam);
  const int notification = HIWORD(wParam);
  if (control == IDOK || control == IDCANCEL) {
    endDialog(state, dialog, control);
    return TRUE;
  }
  if (control == kPortList) {
    if (notification == CBN_SELENDOK) show(state.windows.openButton, true);
    // The user opens the list: it shows the ports there are now.
    if (notification == CBN_DROPDOWN) refreshPortList(state);
    return TRUE;
  }
  if (notification != BN_CLICKED) return FALSE;
  if (control == kOpenButton) onOpenClicked(state);
  if (control == kReadButton) onReadClicked(state);
  if (control == kExportButton) onExportClicked(state);
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK mainDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    initDialog(*reinterpret_cast<AppState*>(lParam), dialog);
    return TRUE;
  }
  auto* state = reinterpret_cast<AppState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (state == nullptr) return FALSE;
  switch (message) {
    case WM_CLOSE:
    case WM_DESTROY:
      endDialog(*state, dialog, 0);
      return TRUE;
    case WM_CREATE:
    case WM_NOTIFY:
      return TRUE;
    case WM_COMMAND:
      return onCommand(*state, dialog, wParam);
    case WM_DEVICECHANGE:
      // Windows tells every top-level window of a device come or gone, in
      // bursts, and sometimes before the port's name exists: the list is
      // refreshed once the burst has been quiet for a while.
      if (!portsMayHaveChanged(wParam)) return FALSE;
      (void)SetTimer(dialog, kDeviceChangeTimer, kDeviceChangeQuietMs, nullptr);
      return TRUE;
    case WM_TIMER:
      if (wParam != kDeviceChangeTimer) return FALSE;
      (void)KillTimer(dialog, kDeviceChangeTimer);
      refreshPortList(*state);
      return TRUE;
    default:
      // WM_PAINT included: the dialog's own painting validates the window.
      // Answering it without painting brings it straight back, for ever.
      return FALSE;
  }
}
