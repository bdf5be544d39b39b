#include "install/Shortcuts.h"
#include "install/InstallTexts.h"

#include <cstdint>
#include <cstring>

#include "package/LocalizedTexts.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/ShellLinks.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "records/InstallEntries.h"
#include "records/SetupState.h"
#include "records/StringKeys.h"

namespace {

constexpr const char* kFallbackFolder = "C:\\";

class ShortcutPlanner {
public:
    explicit ShortcutPlanner(ShortcutPlan* plan) : plan_(plan) {
        plan_->count = 0;
        plan_->skipped = 0;
    }

    void Link(const char* targetFolder, const char* targetName, const char* linkFolder,
              const char* linkName, const char* description) {
        ShortcutAction action;
        memset(&action, 0, sizeof action);
        action.step = ShortcutStep::kMakeLink;
        action.description = description;
        // An empty shell folder would put the link at the root of the current drive.
        if (linkFolder[0] == '\0' ||
            !path::Join(action.target, sizeof action.target, targetFolder, targetName) ||
            !path::Join(action.path, sizeof action.path, linkFolder, linkName)) {
            ++plan_->skipped;
            return;
        }
        Append(action);
    }

    // Returns 0 when the parent is empty or the path does not fit; its links are then left out too.
    int Folder(char* path, size_t size, const char* parent, const char* name) {
        if (parent[0] == '\0' || !path::Join(path, size, parent, name)) {
            return 0;
        }
        ShortcutAction action;
        memset(&action, 0, sizeof action);
        action.step = ShortcutStep::kCreateFolder;
        text::Copy(action.path, sizeof action.path, path);
        Append(action);
        return 1;
    }

private:
    void Append(const ShortcutAction& action) {
        if (plan_->count < kMaxShortcutActions) {
            plan_->actions[plan_->count++] = action;
        }
    }
    ShortcutPlan* plan_;
};

}  // namespace

int ShortcutEntriesInUse(const ShortcutTable& table) {
    for (int i = 0; i < kShortcutEntryCount; ++i) {
        if (table.entries[i].nextTargetName[0] == '\0') {
            return i + 1;
        }
    }
    // The table holds no more entries than these, whatever the last one says.
    return kShortcutEntryCount;
}

ShellFolderUse ShellFoldersNeeded(const ShortcutTable& table, bool wantDesktop) {
    ShellFolderUse use = {false, false, false, false};
    if (table.productExecutable[0] == '\0') {
        return use;
    }
    int entries = ShortcutEntriesInUse(table);
    for (int i = 0; i < entries; ++i) {
        if (table.entries[i].desktopSendToStartMenu != 0) {
            use.desktop = wantDesktop;
            use.sendTo = true;
            use.startMenu = true;
        }
        use.programs = true;
    }
    return use;
}

void PlanShortcuts(const ShortcutInputs& in, ShortcutPlan* plan) {
    ShortcutPlanner planner(plan);
    const ShortcutTable& table = *in.table;
    if (table.productExecutable[0] == '\0') {
        return;
    }
    int entries = ShortcutEntriesInUse(table);
    if (in.wantDesktop) {
        for (int i = 0; i < entries; ++i) {
            const ShortcutEntry& entry = table.entries[i];
            if (entry.desktopSendToStartMenu != 0) {
                planner.Link(in.installFolder, entry.targetName, in.folders->desktop,
                             entry.linkName, kLinkDescription);
            }
        }
    }
    for (int i = 0; i < entries; ++i) {
        const ShortcutEntry& entry = table.entries[i];
        if (entry.desktopSendToStartMenu != 0) {
            planner.Link(in.installFolder, entry.targetName, in.folders->sendTo, entry.linkName,
                         kLinkDescription);
            planner.Link(in.installFolder, entry.targetName, in.folders->startMenu, entry.linkName,
                         kLinkDescription);
        }
        // The group folder exists already from the second entry on; making it again is harmless.
        char group[kLinkTextSize];
        if (!planner.Folder(group, sizeof group, in.folders->programs, table.programsFolderName)) {
            ++plan->skipped;
            continue;
        }
        const char* targetFolder =
            entry.targetInWindowsFolder != 0 ? in.windowsFolder : in.installFolder;
        planner.Link(targetFolder, entry.targetName, group, entry.linkName, kGroupLinkDescription);
    }
}

void RunShortcutPlan(const ShortcutPlan& plan, Platform& platform) {
    for (int i = 0; i < plan.count; ++i) {
        const ShortcutAction& action = plan.actions[i];
        if (action.step == ShortcutStep::kCreateFolder) {
            platform.files->CreateFolder(action.path);
        } else {
            platform.links->CreateShellLink(action.target, action.path, action.description);
        }
    }
}

int GetShellFolder(Platform& platform, char* folder, size_t size, const char* valueName) {
    if (size == 0) {
        return 0;
    }
    folder[0] = '\0';
    OpenRegistryKey key(*platform.registry);
    uint32_t error = 0;
    if (!key.Open(RegistryRoot::kCurrentUser, entries::kShellFoldersKey, &error)) {
        platform.messages->Show(platform.system->FocusWindow(), kShellFoldersCannotOpen,
                                kRegistryCaption, kMbIconError);
        text::Copy(folder, size, kFallbackFolder);
        return 0;
    }
    if (key.Query(valueName, folder, size, &error)) {
        return 1;
    }
    char errorText[512];
    platform.registry->ErrorText(error, errorText, sizeof errorText);
    platform.messages->Show(nullptr, errorText, kErrorCaption, kMbIconInformation);
    text::Copy(folder, size, kFallbackFolder);
    platform.messages->Show(platform.system->FocusWindow(), kShellFoldersCannotRead,
                            kRegistryCaption, kMbIconError);
    return 0;
}

int CreateShortcuts(SetupState& state, Platform& platform, WindowHandle installDialog,
                    const ShortcutTable& table) {
    int answer =
        ShowLocalizedBox(state.strings, *platform.messages, installDialog, keys::kGlobalInfo,
                         keys::kSetupCreateIconOnDesktop, kMbYesNo | kMbIconQuestion);

    bool wantDesktop = answer == kIdYes;
    ShellFolderUse use = ShellFoldersNeeded(table, wantDesktop);
    ShellFolders folders;
    memset(&folders, 0, sizeof folders);
    if (use.desktop) {
        GetShellFolder(platform, folders.desktop, sizeof folders.desktop, entries::kDesktopValue);
    }
    if (use.sendTo) {
        GetShellFolder(platform, folders.sendTo, sizeof folders.sendTo, entries::kSendToValue);
    }
    if (use.startMenu) {
        GetShellFolder(platform, folders.startMenu, sizeof folders.startMenu,
                       entries::kStartMenuValue);
    }
    if (use.programs) {
        GetShellFolder(platform, folders.programs, sizeof folders.programs,
                       entries::kProgramsValue);
    }

    ShortcutInputs inputs = {&table, wantDesktop, state.installFolder, state.windowsFolder,
                             &folders};
    ShortcutPlan plan;
    PlanShortcuts(inputs, &plan);
    RunShortcutPlan(plan, platform);
    return answer != 0;
}
