// The process-wide state of one run of the setup.
#pragma once

#include "package/StringTable.h"
#include "platform/Types.h"

constexpr int kLanguageSize = 64;
constexpr int kInstallFolderSize = 1024;
constexpr int kWindowsFolderSize = 256;

struct SetupState {
    ModuleHandle instance;
    WindowHandle owner;            // the desktop window: owner of the dialogs
    char language[kLanguageSize];  // a LanguageName, compared as a whole text
    char installFolder[kInstallFolderSize];
    char windowsFolder[kWindowsFolderSize];
    bool installCompleted;
    StringTable strings;
};

// Zeroes the state and sets the initial language "ITALIANO".
void InitSetupState(SetupState& state);
