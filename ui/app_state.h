// The process-wide state the shell sets up and the dialog works on.
#pragma once

#include <windows.h>

#include "protocol/results.h"
#include "reading/control_flags.h"
#include "reading/read_worker.h"
#include "serial/port.h"
#include "serial/transaction.h"

#include <array>
#include <cstddef>

// Room for 64 window handles, as the dialog has always allocated them; the
// six value controls, in table order, use the first six and no loop reaches
// the rest.
constexpr size_t kValueControlCapacity = 64;
using ValueControls = std::array<HWND, kValueControlCapacity>;

// Handles the dialog keeps from its initialisation on.
struct DialogHandles {
  HWND dialog;
  HWND portList;
  HWND readButton;
  HWND exportButton;
  HWND openButton;
  HWND statusLine;
  HWND marker;
};

// Taken once at start, released at the end.
struct LongLivedBuffers {
  ReceiveBuffer receive;
  ValueControls valueControls;
  ResultStore results;
};

struct AppState {
  HINSTANCE instance;
  HWND hiddenWindow;
  LongLivedBuffers* buffers;
  DialogHandles windows;
  bool portsFound;  // the port list holds at least one port
  PortConnection port;
  ControlFlags flags;
  ReadWorker worker;
};
