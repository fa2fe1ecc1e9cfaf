#include "ui/read_view.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "protocol/parameters.h"
#include "reading/read_cycle.h"
#include "ui/controls.h"
#include "ui/dialog_texts.h"

namespace {

const AppState& stateOf(void* context) { return *static_cast<const AppState*>(context); }

void hideExport(void* context) { show(stateOf(context).windows.exportButton, false); }

void showWaiting(void* context) {
  const DialogHandles& w = stateOf(context).windows;
  setText(w.statusLine, kWaitingText);
  UpdateWindow(w.dialog);
}

void showStatusText(void* context, const char* text) {
  setText(stateOf(context).windows.statusLine, text);
}

void showValues(const AppState& state, const ResultStore& results) {
  const ValueControls& controls = state.buffers->valueControls;
  for (size_t i = 0; i < kParameterCount; ++i) {
    const std::string_view text = valueText(results[i]);
    std::array<char, kValueTextCapacity> value{};
    text.copy(value.data(), std::min(text.size(), kMaxValueTextLength));
    setText(controls[i], value.data());
  }
}

void showCycleEnd(void* context, StatusCode result, const ResultStore& results) {
  const AppState& state = stateOf(context);
  const DialogHandles& w = state.windows;
  if (result != kStatusOk) {
    setText(w.statusLine, statusMessage(result));
  } else {
    setText(w.statusLine, "");
    // The To-file button is shown only once every value is in its control:
    // from then on the dialog may read the results.
    showValues(state, results);
    show(w.exportButton, true);
    setChecked(w.exportButton, false);
    InvalidateRect(w.dialog, nullptr, TRUE);
    UpdateWindow(w.dialog);
  }
  InvalidateRect(w.dialog, nullptr, TRUE);
  setChecked(w.readButton, false);
  UpdateWindow(w.dialog);
}

void clearValues(const AppState& state) {
  for (size_t i = 0; i < kParameterCount; ++i) setText(state.buffers->valueControls[i], "");
}

}  // namespace

ReadWorkerView dialogReadView(AppState& state) {
  return {&state, hideExport, showWaiting, showStatusText, showCycleEnd};
}

void onReadClicked(AppState& state) {
  ReadWorker& worker = state.worker;
  const HWND readButton = state.windows.readButton;
  if (!isChecked(readButton)) {  // released during a cycle: stop after the parameter in progress
    cancelRead(worker);
    return;
  }
  if (releaseBusyPress(worker)) return;
  clearValues(state);
  // No worker, no read: give the button back so that a later press retries.
  if (!requestRead(worker)) setChecked(readButton, false);
}
