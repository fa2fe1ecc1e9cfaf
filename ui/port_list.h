// The dialog's port list (513): every port the system knows, as
// "COM7  USB-SERIAL CH340", kept current while the dialog runs.
#pragma once

#include <windows.h>

#include <string>

#include "ui/app_state.h"

// Lists the ports again, keeping the chosen entry where its port is still
// there, and sets ports-found. The view changes only when that changes: the
// first port to come shows the selection view, none left the "no port found"
// view. While a port is open nothing is touched: the list is refreshed when
// it closes.
void refreshPortList(AppState& state);

// Windows announces a device change (WM_DEVICECHANGE's wParam): true for the
// ones after which the ports may differ.
bool portsMayHaveChanged(WPARAM event);

// The port name of the chosen entry, "" when none is chosen.
std::string chosenPortName(const AppState& state);
