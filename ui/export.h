// The To-file button: the report of the values the dialog shows.
#pragma once

#include "ui/app_state.h"

// Writes the six labelled values, as the controls show them, to a new file in
// the current directory named after the serial number as read and the local
// time; nothing is shown. When the current directory lies inside the user's
// temporary folder, or the file cannot be made there, the report goes into
// the user's Documents and the status line says "Сохранено в Документы";
// when it cannot be written there either, "Не удалось записать.файл".
void onExportClicked(const AppState& state);
