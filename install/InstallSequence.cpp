#include "install/InstallSequence.h"

#include <cstdio>
#include <memory>
#include <new>

#include "install/InstallPlan.h"
#include "install/Shortcuts.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/ResourceStore.h"
#include "platform/Shell.h"
#include "records/SetupConfiguration.h"
#include "records/SetupState.h"

namespace {

constexpr const char* kRefusalCaption = "ZarBelPC - Setup";
constexpr const char* kInstallFolderTooLong =
    "The installation folder is too long:\n%s\n\nPlease choose a shorter folder.";
constexpr const char* kWindowsFolderUnusable = "Can't use the Windows directory:\n%s";
constexpr const char* kSystemFolderUnusable =
    "Can't find the system directory, so the controls cannot be registered.";

void ReportRefusal(Platform& platform, WindowHandle installDialog, PlanResult result,
                   const SetupState& state) {
    char message[1200];
    switch (result) {
        case PlanResult::InstallFolderTooLong:
            snprintf(message, sizeof message, kInstallFolderTooLong, state.installFolder);
            break;
        case PlanResult::WindowsFolderUnusable:
            snprintf(message, sizeof message, kWindowsFolderUnusable, state.windowsFolder);
            break;
        case PlanResult::SystemFolderUnusable:
        case PlanResult::Ok:
            snprintf(message, sizeof message, "%s", kSystemFolderUnusable);
            break;
    }
    platform.messages->Show(installDialog, message, kRefusalCaption, kMbIconError);
}

}  // namespace

int RunInstallation(SetupState& state, Platform& platform, WindowHandle installDialog) {
    // Queried afresh for every run; the shortcut step reads it too.
    if (platform.files->GetWindowsFolder(state.windowsFolder, sizeof state.windowsFolder) == 0) {
        state.windowsFolder[0] = '\0';
    }
    char systemFolder[kInstallPathSize];
    if (platform.shell->GetSystemFolder(systemFolder, sizeof systemFolder) == 0) {
        systemFolder[0] = '\0';
    }

    // The whole plan is composed before anything is written: a folder whose paths would not
    // fit is refused with nothing half-installed.
    std::unique_ptr<InstallPlan> plan(new (std::nothrow) InstallPlan);
    if (!plan) {
        return 0;
    }
    ResourceBlock archive = {nullptr, 0};
    size_t longestEntryName = 0;
    if (platform.resources->Find(kPayloadResourceType, kPayloadArchiveName, &archive)) {
        longestEntryName = LongestArchiveEntryName(archive);
    }
    InstallInputs inputs = {installDialog, state.installFolder, state.windowsFolder,
                            systemFolder,  longestEntryName,    &kSetupConfiguration};
    PlanResult planned = PlanInstallation(inputs, plan.get());
    if (planned != PlanResult::Ok) {
        ReportRefusal(platform, installDialog, planned, state);
        return 0;
    }
    if (!RunInstallPlan(*plan, platform)) {
        return 0;
    }
    return CreateShortcuts(state, platform, installDialog);
}
