// Resource and control IDs of the main dialog, as its template holds them.
#pragma once

#include <cstdint>

constexpr int kDialogTemplate = 512;
constexpr int kProgramIcon = 1;  // the first icon: Explorer shows it for the file

constexpr int kPortList = 513;      // COMBOBOX, drop-down list of port names
constexpr int kOpenButton = 514;    // "Обновить" / "Выбрать" / the open port's name
constexpr int kReadButton = 515;    // toggles itself; checked while a cycle runs
constexpr int kExportButton = 516;  // "В файл", over the left part of the status line
constexpr int kOpenedMarker = 539;  // "Открыт", in the port list's place
constexpr int kStatusLine = 540;

// Sent to the hidden window when the dialog ends: the hidden window goes and
// the quit message is posted.
constexpr uint16_t kCloseCommand = 1024;
