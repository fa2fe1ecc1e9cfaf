// What the program asks of the Windows desktop beyond its dialog: the
// common controls of its manifest and its icon.
#pragma once

#include <windows.h>

// Registers the common controls' classes the dialog uses, so that with the
// manifest's common controls 6 they are drawn in the desktop's visual style.
void initCommonControls();

// Gives the dialog the program's icon, large (taskbar, Alt+Tab) and small
// (caption), at the sizes the desktop's DPI asks for.
void setDialogIcons(HWND dialog, HINSTANCE instance);
