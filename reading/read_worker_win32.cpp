#include "reading/read_worker.h"

#include <process.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "protocol/parameters.h"
#include "protocol/results.h"
#include "protocol/status.h"
#include "protocol/trace.h"

namespace {

constexpr const char* kWaitingText = "Ждём!...";
constexpr DWORD kWorkerStartWaitMs = 1000;
// Only when waiting on the wake event itself fails: the worker then looks at
// the flags this often instead of spinning.
constexpr DWORD kFallbackPollMs = 50;

void setWindowText(HWND window, const char* text) {
  SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void setStatusLineText(void* context, const char* text) {
  setWindowText(static_cast<HWND>(context), text);
}

void setChecked(HWND button, bool checked) {
  SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void waitForWork(const ReadWorker& worker) {
  if (WaitForSingleObject(worker.wakeEvent, INFINITE) == WAIT_FAILED) Sleep(kFallbackPollMs);
}

// One cycle and what the dialog shows before and after it.
void runOneCycle(ReadWorker& worker) {
  ControlFlags& flags = *worker.flags;
  const WorkerWindows& windows = worker.windows;
  setFlag(flags, kBusy);
  clearFlag(flags, kReadRequested);
  clearFlag(flags, kCancelRequested);
  ShowWindow(windows.exportButton, SW_HIDE);
  writeTrace(kTraceOut, " Started ");
  SetEvent(worker.startedEvent);
  setWindowText(windows.statusLine, kWaitingText);
  UpdateWindow(windows.dialog);

  const StatusLine statusLine{setStatusLineText, windows.statusLine};
  const StatusCode result = runReadCycle(statusLine, flags, worker.read);

  if (result != kStatusOk) {
    setWindowText(windows.statusLine, statusMessage(result));
  } else {
    setWindowText(windows.statusLine, "");
    // The To-file button is shown only once every value is in its control:
    // from then on the dialog may read the results.
    for (size_t i = 0; i < kParameterCount; ++i) {
      const std::string_view text = valueText((*worker.read.results)[i]);
      std::array<char, kValueTextCapacity> value{};
      text.copy(value.data(), std::min(text.size(), kMaxValueTextLength));
      setWindowText((*windows.valueControls)[i], value.data());
    }
    ShowWindow(windows.exportButton, SW_SHOW);
    setChecked(windows.exportButton, false);
    InvalidateRect(windows.dialog, nullptr, TRUE);
    UpdateWindow(windows.dialog);
  }
  InvalidateRect(windows.dialog, nullptr, TRUE);
  setChecked(windows.readButton, false);
  UpdateWindow(windows.dialog);
}

unsigned __stdcall readWorker(void* argument) {
  ReadWorker& worker = *static_cast<ReadWorker*>(argument);
  ControlFlags& flags = *worker.flags;
  setFlag(flags, kWorkerStarted);
  writeTrace(kTraceOut, " sStarts!=%x ", flags.load());
  while (!testFlag(flags, kQuitRequested)) {
    SetEvent(worker.startedEvent);
    // Idle: sleep until a Read press or the shell's shutdown signals the
    // wake event, rather than looking at the flags without pause.
    if (!testFlag(flags, kReadRequested)) {
      waitForWork(worker);
      continue;
    }
    runOneCycle(worker);
  }
  writeTrace(kTraceOut, " Ends! ");
  _endthreadex(0);
  return 0;
}

}  // namespace

bool createWorkerEvents(ReadWorker& worker) {
  worker.startedEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  worker.wakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  return worker.startedEvent != nullptr && worker.wakeEvent != nullptr;
}

void onReadClicked(ReadWorker& worker) {
  ControlFlags& flags = *worker.flags;
  const WorkerWindows& windows = worker.windows;
  const bool checked = SendMessageA(windows.readButton, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (!checked) {  // released during a cycle: stop after the parameter in progress
    setFlag(flags, kCancelRequested);
    return;
  }
  if (testFlag(flags, kBusy)) {
    clearFlag(flags, kBusy);
    return;
  }
  for (size_t i = 0; i < kParameterCount; ++i) setWindowText((*windows.valueControls)[i], "");
  setFlag(flags, kReadRequested);
  if (testFlag(flags, kWorkerStarted) || worker.thread != nullptr) {
    SetEvent(worker.wakeEvent);
    return;
  }
  const uintptr_t thread = _beginthreadex(nullptr, 0, readWorker, &worker, 0, nullptr);
  if (thread == 0) {
    // No worker, no read: give the button back so that a later press retries.
    clearFlag(flags, kReadRequested);
    setChecked(windows.readButton, false);
    return;
  }
  worker.thread = reinterpret_cast<HANDLE>(thread);
  WaitForSingleObject(worker.startedEvent, kWorkerStartWaitMs);
}

void stopReadWorker(ReadWorker& worker) {
  setFlag(*worker.flags, kQuitRequested);
  if (worker.wakeEvent != nullptr) SetEvent(worker.wakeEvent);
  if (worker.thread == nullptr) return;
  // The worker's window operations are sends to this thread: keep serving
  // them while waiting, so that one caught in flight cannot hang both.
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &worker.thread, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woken != WAIT_OBJECT_0 + 1) break;  // ended, or the wait itself failed
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  if (WaitForSingleObject(worker.thread, INFINITE) == WAIT_FAILED) return;
  CloseHandle(worker.thread);
  worker.thread = nullptr;
}
