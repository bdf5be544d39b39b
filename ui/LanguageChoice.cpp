#include "ui/LanguageChoice.h"

#include "platform/ProfileStore.h"
#include "platform/Text.h"
#include "resources/ResourceIds.h"
#include "records/SettingsFile.h"
#include "records/SetupConfiguration.h"
#include "records/SetupState.h"
#include "records/StringKeys.h"

const LanguageButton kLanguageButtons[kLanguageButtonCount] = {
    {kIdcLanguageItaliano, languages::kItaliano},
    {kIdcLanguageEnglish, languages::kEnglish},
    {kIdcLanguageFrench, languages::kFrench},
    {kIdcLanguageEspanol, languages::kEspanol},
};

void ConfirmLanguageChoice(SetupState& state, ProfileStore& profile,
                           const bool checked[kLanguageButtonCount]) {
    for (int i = 0; i < kLanguageButtonCount; ++i) {
        if (checked[i]) {
            text::Copy(state.language, sizeof state.language, kLanguageButtons[i].language);
            break;
        }
    }
    profile.WriteString(settings::kSettingsSection, settings::kLanguageKey, state.language,
                        kSetupConfiguration.settingsFileName);
}
