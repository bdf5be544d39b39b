#include "ui/InstallCommands.h"

#include "install/InstallLocation.h"
#include "package/StringTable.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "resources/ResourceIds.h"
#include "records/SetupState.h"
#include "records/StringKeys.h"

InstallAction RouteInstallCommand(const InstallDialogFlow& flow, int commandId) {
    if (commandId != kIdcInstall && commandId != kIdcCancel && commandId != kIdcChangeFolder) {
        return InstallAction::kNotHandled;
    }
    if (flow.installing) {
        return InstallAction::kIgnore;
    }
    if (commandId == kIdcInstall) {
        return InstallAction::kInstall;
    }
    return commandId == kIdcCancel ? InstallAction::kCancel : InstallAction::kChangeFolder;
}

void InstallFromDialog(SetupState& state, Platform& platform, WindowHandle dialog,
                       Installation installation) {
    if (installation(state, platform, dialog)) {
        state.installCompleted = true;
        return;
    }
    ShowLocalizedBox(state.strings, *platform.messages, state.owner, keys::kGlobalWarning,
                     keys::kSetupAborted, kMbOk | kMbIconError);
}

void ChangeInstallFolder(SetupState& state, Platform& platform, WindowHandle dialog) {
    char title[kStringTextSize];
    text::Copy(title, sizeof title, LookupString(state.strings, keys::kSetupChooseInstallPath));
    BrowseForInstallFolder(platform, dialog, state.installFolder, sizeof state.installFolder,
                           title);
    NormaliseInstallFolder(state.installFolder, sizeof state.installFolder);
}
