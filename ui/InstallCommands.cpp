#include "ui/InstallCommands.h"

#include "install/InstallLocation.h"
#include "package/LocalizedTexts.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "resources/ResourceIds.h"
#include "records/SetupState.h"
#include "records/StringKeys.h"

InstallRoute RouteInstallCommand(const InstallDialogFlow& flow, int commandId) {
    if (commandId != kIdcInstall && commandId != kIdcCancel && commandId != kIdcChangeFolder) {
        return InstallRoute::kNotHandled;
    }
    if (flow.installing) {
        return InstallRoute::kIgnore;
    }
    if (commandId == kIdcInstall) {
        return InstallRoute::kInstall;
    }
    return commandId == kIdcCancel ? InstallRoute::kCancel : InstallRoute::kChangeFolder;
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
