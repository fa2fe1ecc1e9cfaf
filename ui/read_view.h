// The Read button and what the dialog shows around a read cycle.
#pragma once

#include "reading/read_worker.h"
#include "ui/app_state.h"

// The dialog's side of the read worker: status line, value controls, the
// Read and To-file buttons. Its calls come from the worker thread and are
// carried out by the dialog's thread (window messages are sends).
ReadWorkerView dialogReadView(AppState& state);

// BN_CLICKED of the Read button, whose click has already toggled it.
void onReadClicked(AppState& state);
