// The process-wide state of one run of the setup: a plain record that every layer above the
// platform reads, so it depends on nothing but the platform's handle types.
#pragma once

#include "platform/Types.h"

// Localized texts by key: a fixed table of at most 300 rows, filled by the package layer.
constexpr int kStringTableRows = 300;
constexpr int kStringKeySize = 64;
constexpr int kStringTextSize = 512;
constexpr int kLookupBufferSize = 96;

struct StringEntry {
    char key[kStringKeySize];    // upper case, at most 62 characters
    char text[kStringTextSize];  // at most 510 characters
};

struct StringTable {
    StringEntry rows[kStringTableRows];
    int count;  // 0 until loaded
    // Shared by every lookup: the upper-cased key of the latest one and, after a miss, its
    // error text.
    char lookup[kLookupBufferSize];
};

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
