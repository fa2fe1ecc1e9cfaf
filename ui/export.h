// The To-file button: the report of the values the dialog shows.
#pragma once

#include "ui/app_state.h"

// Writes the six labelled values, as the controls show them, to a new file in
// the current directory named after the serial number as read and the local
// time. Only a failure changes the status line ("Не удалось записать.файл").
void onExportClicked(const AppState& state);
