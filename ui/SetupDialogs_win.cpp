// The driver's stages as the user meets them: the three modal dialogs, owned by the desktop.
#include <windows.h>

#include "records/SetupConfiguration.h"
#include "records/SetupState.h"
#include "ui/Dialogs_win.h"
#include "ui/SetupDialogs_win.h"

DialogStages::DialogStages(SetupState& state, Platform& platform) : context_{&state, &platform} {
    // The install dialog's progress bar is a common control: without its class the dialog
    // cannot be created.
    RegisterDialogControls();
}

int DialogStages::LanguageDialog() {
    return static_cast<int>(
        DialogBoxParamA(static_cast<HINSTANCE>(context_.state->instance), kLanguageDialogTemplate,
                        static_cast<HWND>(context_.state->owner), LanguageDialogProc,
                        reinterpret_cast<LPARAM>(&context_)));
}

int DialogStages::LicenseDialog() {
    return ShowLicenseDialog(context_);
}

int DialogStages::InstallDialog() {
    return static_cast<int>(
        DialogBoxParamA(static_cast<HINSTANCE>(context_.state->instance), kInstallDialogTemplate,
                        static_cast<HWND>(context_.state->owner), InstallDialogProc,
                        reinterpret_cast<LPARAM>(&context_)));
}
