// The install dialog: the installation notes, the install folder and the installation itself.
#pragma once

#include "ui/ModalDialog_win.h"

// Runs the dialog: 1 however it ends (the state's installCompleted tells whether the
// installation succeeded), -1 when it cannot be created.
int ShowInstallDialog(DialogContext& context);
