#include <windows.h>

#include <atomic>

#include "os/interruption.h"

namespace {

std::atomic<bool> requested{false};
int secondExitStatus = 1;
HANDLE handledEvent = nullptr;

// Windows ends a process whose console is closed once the handler returns,
// or after 5 s at the latest: the handler waits a little less for the
// program to tell everything.
constexpr DWORD kCloseWaitMs = 4500;

BOOL WINAPI onConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      if (requested.exchange(true)) ExitProcess(static_cast<UINT>(secondExitStatus));
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      requested.store(true);
      if (handledEvent != nullptr) WaitForSingleObject(handledEvent, kCloseWaitMs);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void catchInterruptions(int exitStatus) {
  secondExitStatus = exitStatus;
  if (handledEvent == nullptr) handledEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool interruptionRequested() { return requested.load(); }

void interruptionsHandled() {
  if (handledEvent != nullptr) SetEvent(handledEvent);
}
