// The language dialog, the first of the setup's dialogs.
#pragma once

#include "ui/ModalDialog_win.h"

// Runs the dialog: 0 when a language was chosen (the state and the settings file hold it), -1
// when it was cancelled or cannot be created.
int ShowLanguageDialog(DialogContext& context);
