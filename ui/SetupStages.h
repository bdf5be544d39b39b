// The modal stages that the driver runs, each a dialog of the setup.
#pragma once

class SetupStages {
public:
    virtual ~SetupStages() = default;
    // "CHOOSELANGUAGEDLG": 0 after OK, -1 after Cancel. Leaves the choice in the setup state.
    virtual int LanguageDialog() = 0;
    // "LICENSEAGREEMENT": 1 accepted, 0 declined, -1 when the dialog cannot be created.
    virtual int LicenseDialog() = 0;
    // "INSTALLDLG": always 1; the outcome is the setup state's installCompleted.
    virtual int InstallDialog() = 0;
};
