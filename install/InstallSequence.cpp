#include "install/InstallSequence.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "install/InstallPlan.h"
#include "install/InstallTexts.h"
#include "install/Shortcuts.h"
#include "install/UninstallEntry.h"
#include "package/ArchiveFormat.h"
#include "package/ResourceExtraction.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/ResourceStore.h"
#include "platform/Shell.h"
#include "records/SetupConfiguration.h"
#include "records/InstallEntries.h"
#include "records/SetupState.h"

namespace {

void ReportRefusal(Platform& platform, WindowHandle installDialog, install::PlanResult result,
                   const SetupState& state) {
    char message[1200];
    switch (result) {
        case install::PlanResult::kInstallFolderTooLong:
            snprintf(message, sizeof message, kInstallFolderTooLong, state.installFolder);
            break;
        case install::PlanResult::kWindowsFolderUnusable:
            snprintf(message, sizeof message, kWindowsFolderUnusable, state.windowsFolder);
            break;
        case install::PlanResult::kSystemFolderUnusable:
        case install::PlanResult::kOk:
            snprintf(message, sizeof message, "%s", kSystemFolderUnusable);
            break;
    }
    platform.messages->Show(installDialog, message, kRefusalCaption, kMbIconError);
}

// The entry in the system's list of installed programs. Written last, once everything it points
// to is in place; a failure leaves the installation as complete as it is without the entry.
void RegisterUninstallEntry(const SetupState& state, Platform& platform,
                            const ResourceBlock& payload, const install::InstallPlan& plan) {
    // What the plan copied out of the install folder is on disk twice.
    const char* copied[install::kMaxInstallActions];
    size_t copiedCount = 0;
    for (int i = 0; i < plan.count; ++i) {
        if (plan.actions[i].step == install::InstallStep::kCopyFile ||
            plan.actions[i].step == install::InstallStep::kInstallSharedFile) {
            const char* source = plan.actions[i].source;
            const char* separator = strrchr(source, '\\');
            copied[copiedCount++] = separator != nullptr ? separator + 1 : source;
        }
    }
    uint64_t bytes =
        payload.data != nullptr
            ? install::InstalledBytes(payload, entries::kDeletedEntry, copied, copiedCount)
            : 0;
    install::ProductIdentity identity;
    install::ReadProductIdentity(*platform.resources, &identity);
    install::UninstallEntryInputs inputs = {state.installFolder,
                                            state.windowsFolder,
                                            kSetupConfiguration.shortcuts.productExecutable,
                                            bytes,
                                            identity.version,
                                            identity.publisher};
    install::UninstallEntry entry;
    if (install::PlanUninstallEntry(inputs, &entry)) {
        install::WriteUninstallEntry(entry, *platform.registry);
    }
}

}  // namespace

int RunInstallation(SetupState& state, Platform& platform, WindowHandle installDialog) {
    // Queried afresh for every run; the shortcut step reads it too.
    if (platform.files->GetWindowsFolder(state.windowsFolder, sizeof state.windowsFolder) == 0) {
        state.windowsFolder[0] = '\0';
    }
    char systemFolder[install::kInstallPathSize];
    if (platform.shell->GetSystemFolder(systemFolder, sizeof systemFolder) == 0) {
        systemFolder[0] = '\0';
    }

    // The whole plan is composed before anything is written: a folder whose paths would not
    // fit is refused with nothing half-installed.
    std::unique_ptr<install::InstallPlan> plan(new (std::nothrow) install::InstallPlan);
    if (!plan) {
        return 0;
    }
    ResourceBlock payload = {nullptr, 0};
    size_t longestEntryName = 0;
    if (platform.resources->Find(kPlainExtractType, kArchiveResourceName, &payload)) {
        longestEntryName = archive::LongestEntryName(payload.data, payload.size);
    }
    install::InstallInputs inputs = {installDialog, state.installFolder, state.windowsFolder,
                                     systemFolder,  longestEntryName,    &kSetupConfiguration};
    install::PlanResult planned = install::PlanInstallation(inputs, plan.get());
    if (planned != install::PlanResult::kOk) {
        ReportRefusal(platform, installDialog, planned, state);
        return 0;
    }
    if (!install::RunInstallPlan(*plan, platform)) {
        return 0;
    }
    if (!CreateShortcuts(state, platform, installDialog)) {
        return 0;
    }
    RegisterUninstallEntry(state, platform, payload, *plan);
    return 1;
}
