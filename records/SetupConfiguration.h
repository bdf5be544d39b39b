// The product constants compiled into the setup.
#pragma once

// One row of the shortcut table: a program that gets links.
struct ShortcutEntry {
    char targetName[80];
    char linkName[80];
    int desktopSendToStartMenu;  // non-zero: desktop (when wanted), SendTo and Start Menu links
    int targetInWindowsFolder;   // non-zero: the Programs link targets the Windows directory copy
    char nextTargetName[80];     // empty: the last entry
    char entryTitle[80];         // not read by the setup
};

constexpr int kShortcutEntryCount = 2;

struct ShortcutTable {
    char productExecutable[80];  // empty: no link is made at all
    char productFolder[80];      // not read by the setup
    ShortcutEntry entries[kShortcutEntryCount];
    char programsFolderName[80];
};

struct SetupConfiguration {
    char settingsFileName[80];
    char defaultInstallFolder[256];
    char productFolderName[256];
    char songsFolderName[256];
    char fontFileName[80];
    char serverHost[256];
    unsigned char exeMode;
    ShortcutTable shortcuts;
};

extern const SetupConfiguration kSetupConfiguration;

// Fixed literals of the driver.
constexpr const char* kRichEditLibrary = "RICHED32.DLL";
constexpr const char* kLanguageDialogTemplate = "CHOOSELANGUAGEDLG";
constexpr const char* kLicenseDialogTemplate = "LICENSEAGREEMENT";
constexpr const char* kInstallDialogTemplate = "INSTALLDLG";
