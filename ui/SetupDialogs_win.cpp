// The driver's stages as the user meets them: the three modal dialogs, owned by the desktop.
#include "ui/SetupDialogs_win.h"

#include "ui/DialogUtilities_win.h"
#include "ui/InstallDialog_win.h"
#include "ui/LanguageDialog_win.h"
#include "ui/LicenseDialog_win.h"

DialogStages::DialogStages(SetupState& state, Platform& platform) : context_{&state, &platform} {
    // The install dialog's progress bar is a common control: without its class the dialog
    // cannot be created.
    RegisterDialogControls();
}

int DialogStages::LanguageDialog() {
    return ShowLanguageDialog(context_);
}

int DialogStages::LicenseDialog() {
    return ShowLicenseDialog(context_);
}

int DialogStages::InstallDialog() {
    return ShowInstallDialog(context_);
}
