// The setup's stages on Win32: the language, license and install dialogs.
#pragma once

#include "ui/ModalDialog_win.h"
#include "ui/SetupStages.h"

class DialogStages : public SetupStages {
public:
    // Registers the common controls the dialogs use; the state's instance and owner are read
    // when each dialog opens, after the driver has set them.
    DialogStages(SetupState& state, Platform& platform);
    int LanguageDialog() override;
    int LicenseDialog() override;
    int InstallDialog() override;

private:
    DialogContext context_;
};
