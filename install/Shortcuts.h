// The shortcut step: the user's answer, the shortcut table and the shell folders become a plan of
// folders and links, which the platform then makes.
#pragma once

#include <cstddef>

#include "platform/Types.h"
#include "records/SetupConfiguration.h"

struct Platform;
struct SetupState;

// Shell folder values and the composed target and link paths, terminator included.
constexpr size_t kShellFolderSize = 256;
constexpr size_t kLinkTextSize = 256;
// Per entry at most the desktop, SendTo and Start Menu links, the group folder and its link.
constexpr int kMaxShortcutActions = kShortcutEntryCount * 5;

constexpr const char* kLinkDescription = "ZarbelPC";
constexpr const char* kGroupLinkDescription = "ZarBelPC: Software Multimediale per Karaoke";

enum class ShortcutStep { kCreateFolder, kMakeLink };

struct ShortcutAction {
    ShortcutStep step;
    char path[kLinkTextSize];    // the folder, or the link file
    char target[kLinkTextSize];  // links only
    const char* description;     // links only
};

struct ShortcutPlan {
    ShortcutAction actions[kMaxShortcutActions];
    int count;
    int skipped;  // links left out because a folder was empty or a path did not fit
};

// The user's shell folders, as read from HKCU\...\Explorer\Shell Folders.
struct ShellFolders {
    char desktop[kShellFolderSize];
    char sendTo[kShellFolderSize];
    char startMenu[kShellFolderSize];
    char programs[kShellFolderSize];
};

// Which folders a plan will use, so that only those are read.
struct ShellFolderUse {
    bool desktop;
    bool sendTo;
    bool startMenu;
    bool programs;
};

struct ShortcutInputs {
    const ShortcutTable* table;
    bool wantDesktop;  // the user answered Yes
    const char* installFolder;
    const char* windowsFolder;
    const ShellFolders* folders;
};

// The entries that count: up to and including the first one whose nextTargetName is empty.
int ShortcutEntriesInUse(const ShortcutTable& table);
ShellFolderUse ShellFoldersNeeded(const ShortcutTable& table, bool wantDesktop);

// Builds the plan: the desktop pass (when wanted), then per entry its SendTo and Start Menu links
// and its group folder and group link. A link whose target or link path does not fit, or whose
// shell folder is empty, is left out (counted in skipped); so is the group folder then.
void PlanShortcuts(const ShortcutInputs& inputs, ShortcutPlan* plan);
// Makes the folders and links in order; results are ignored, a missing link costs only itself.
void RunShortcutPlan(const ShortcutPlan& plan, Platform& platform);

// Reads the user's shell folder valueName into folder (kShellFolderSize bytes). Returns 1, or 0
// after telling the user, with folder "C:\".
int GetShellFolder(Platform& platform, char* folder, size_t size, const char* valueName);

// Asks whether desktop icons are wanted and makes the links of table. Returns 1 when the question
// was answered (Yes or No), 0 when it could not be shown (the other links are made all the same).
int CreateShortcuts(SetupState& state, Platform& platform, WindowHandle installDialog,
                    const ShortcutTable& table = kSetupConfiguration.shortcuts);
