// The main dialog's procedure; its parameter is the AppState.
#pragma once

#include <windows.h>

INT_PTR CALLBACK mainDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
