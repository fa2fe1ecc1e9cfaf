// The program's entry and exit: the long-lived buffers, the hidden window
// whose close ends the message loop, the modal dialog, and the shutdown that
// waits for the read worker.
#include <windows.h>

#include <memory>
#include <new>

#include "protocol/trace.h"
#include "reading/control_flags.h"
#include "reading/read_worker.h"
#include "ui/app_state.h"
#include "ui/desktop.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"
#include "ui/main_dialog.h"

namespace {

LRESULT CALLBACK hiddenWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kCloseCommand) {
    DestroyWindow(window);
    PostQuitMessage(0);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND createHiddenWindow(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = hiddenWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kHiddenWindowClass;
  if (RegisterClassExA(&windowClass) == 0) return nullptr;
  HWND window = CreateWindowExA(0, kHiddenWindowClass, kHiddenWindowClass, WS_OVERLAPPED,
                                CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, instance,
                                nullptr);
  if (window == nullptr) return nullptr;
  ShowWindow(window, SW_HIDE);
  UpdateWindow(window);
  return window;
}

// The queued messages after the dialog; ends with the quit message's wParam.
int drainMessageLoop() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 0;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Waits for the worker without a time limit, carrying out meanwhile the
// worker's calls to the dialog, which are sends to this thread: a plain wait
// would hang both when one is in flight.
void waitForWorker(ReadWorker& worker) {
  requestWorkerQuit(worker);
  const auto thread = reinterpret_cast<HANDLE>(worker.thread.handle);
  if (thread == nullptr) return;
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woken != WAIT_OBJECT_0 + 1) break;  // ended, or the wait itself failed
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  if (WaitForSingleObject(thread, INFINITE) == WAIT_FAILED) return;
  closeWorkerThread(worker);
}

// Lives for the whole run; the worker and the dialog reach it by reference.
AppState gState{};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  AppState& state = gState;
  state.instance = instance;
  initCommonControls();
  std::unique_ptr<LongLivedBuffers> buffers(new (std::nothrow) LongLivedBuffers{});
  if (!buffers) return 1;
  state.buffers = buffers.get();

  state.hiddenWindow = createHiddenWindow(instance);
  if (state.hiddenWindow == nullptr) return 0;

  ReadWorker& worker = state.worker;
  worker.flags = &state.flags;
  worker.read = {&state.port, &buffers->receive, &buffers->results, nullptr};
  if (!createWorkerEvents(worker)) return 1;

  // A Unicode dialog: its controls keep any character, typed or shown,
  // whatever the system's code page (the controls' texts are converted from
  // and to Windows-1251 in ui/controls).
  const INT_PTR shown = DialogBoxParamW(instance, MAKEINTRESOURCEW(kDialogTemplate), nullptr,
                                        mainDialogProcedure, reinterpret_cast<LPARAM>(&state));
  // A dialog that never appeared sent no close request: the hidden window
  // still has to go so that the loop below ends.
  if (shown == -1) DestroyWindow(state.hiddenWindow);
  writeTrace(kTraceOut, ZORT_TRACE_DIALOG_ENDED);

  const int exitCode = drainMessageLoop();
  waitForWorker(worker);
  buffers.reset();
  state.buffers = nullptr;
  writeTrace(kTraceErr, ZORT_TRACE_WORKER_JOINED, state.flags.load());
  return exitCode;
}
