// One way to run the setup's modal dialogs: the template comes from the setup's module, the
// owner is the setup's owner window, and the context the dialog was run with comes to its
// handler with every message.
#pragma once

#include <windows.h>

struct Platform;
struct SetupState;

// What every dialog works on.
struct DialogContext {
    SetupState* state;
    Platform* platform;
};

// A dialog's message handler: answers as a dialog procedure does (TRUE handled, FALSE for the
// platform's default handling). It sees no message that comes before WM_INITDIALOG.
using DialogHandler = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                  DialogContext& context);

// Runs the dialog of the template until it ends: the value handed to EndDialog, or -1 when the
// dialog cannot be created.
int RunModalDialog(const char* templateName, DialogHandler handler, DialogContext& context);
