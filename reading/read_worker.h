// The Read button's handler and the worker thread that runs the read cycles
// beside the dialog. Windows only.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

#include "reading/control_flags.h"
#include "reading/read_cycle.h"

// Room for 64 window handles; the six value controls, in table order, use
// the first six.
constexpr size_t kValueControlCapacity = 64;
using ValueControls = std::array<HWND, kValueControlCapacity>;

// The dialog windows the worker changes. It changes them only through window
// messages, which the system carries out in the UI thread.
struct WorkerWindows {
  HWND dialog;
  HWND statusLine;
  HWND readButton;
  HWND exportButton;
  const ValueControls* valueControls;
};

struct ReadWorker {
  ControlFlags* flags;
  HANDLE startedEvent;  // WorkerStartedEvent: signalled on every pass of the loop
  HANDLE wakeEvent;     // auto-reset: a read was requested, or the shell quits
  HANDLE thread;        // null until the first Read press
  WorkerWindows windows;
  ReadContext read;
};

// Creates the two events (auto-reset, not signalled, unnamed). False when
// either cannot be created.
bool createWorkerEvents(ReadWorker& worker);

// Called on BN_CLICKED of the Read button, whose click has already toggled it.
void onReadClicked(ReadWorker& worker);

// At shutdown: sets QuitRequested, wakes the idle worker and, if it was
// started, waits for it without a time limit (a cycle in progress ends
// first), then closes its handle.
void stopReadWorker(ReadWorker& worker);
