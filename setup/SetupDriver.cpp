#include "setup/SetupDriver.h"

#include <cstdio>

#include "package/LocalizedTexts.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/ProfileStore.h"
#include "platform/System.h"
#include "setup/PlatformCheck.h"
#include "setup/SetupTexts.h"
#include "records/SettingsFile.h"
#include "records/SetupConfiguration.h"
#include "ui/SetupStages.h"
#include "records/SetupState.h"
#include "records/StringKeys.h"

namespace {

// Without this the setup would end without a word, and a user who started it would see nothing
// happen at all.
void TellLicenseNotShown(SetupState& state, Platform& platform) {
    const char* caption = LookupStringOr(state.strings, keys::kSetupCaption, kFallbackCaption);
    const char* text =
        LookupStringOr(state.strings, keys::kSetupLicenseNotShown, kFallbackLicenseNotShown);
    platform.messages->Show(state.owner, text, caption, kMbIconError);
}

}  // namespace

int RunSetup(SetupState& state, Platform& platform, SetupStages& stages) {
    state.instance = platform.system->Instance();
    state.owner = platform.system->DesktopWindow();
    // Without it the RICHEDIT controls of the license and install dialogs cannot be created;
    // a failure shows there.
    platform.system->LoadSystemLibrary(kRichEditLibrary);
    CheckPlatform(platform);
    state.installCompleted = false;

    stages.LanguageDialog();
    if (!LoadStringTable(state, platform)) {
        return 0;
    }
    // Only an explicit acceptance goes on: a license dialog that could not be created (-1) must
    // not install anything the user has not seen and accepted.
    int license = stages.LicenseDialog();
    if (license == 0) {
        return 0;
    }
    if (license != 1) {
        TellLicenseNotShown(state, platform);
        return 0;
    }
    stages.InstallDialog();

    const char* file = kSetupConfiguration.settingsFileName;
    platform.profile->WriteString(settings::kSettingsSection, settings::kLanguageKey,
                                  state.language, file);
    char exeMode[16];
    snprintf(exeMode, sizeof exeMode, "%d", static_cast<int>(kSetupConfiguration.exeMode));
    platform.profile->WriteString(settings::kSettingsSection, settings::kExeModeKey, exeMode, file);

    if (state.installCompleted) {
        ShowLocalizedBox(state.strings, *platform.messages, state.owner, keys::kSetupCaption,
                         keys::kSetupCompletedSuccesfully, kMbIconInformation);
    }
    return 0;
}
