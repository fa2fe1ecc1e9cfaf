#include "ui/desktop.h"

#include <commctrl.h>

#include "ui/dialog_ids.h"

void initCommonControls() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES;  // buttons, edits, statics, combo boxes
  // Without it the controls still work, in the classic look.
  (void)InitCommonControlsEx(&controls);
}

namespace {

void setIcon(HWND dialog, HINSTANCE instance, WPARAM which, int widthMetric, int heightMetric) {
  const HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
                                 GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                 LR_DEFAULTCOLOR | LR_SHARED);
  if (icon != nullptr) SendMessageW(dialog, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

void setDialogIcons(HWND dialog, HINSTANCE instance) {
  setIcon(dialog, instance, ICON_BIG, SM_CXICON, SM_CYICON);
  setIcon(dialog, instance, ICON_SMALL, SM_CXSMICON, SM_CYSMICON);
}
