#include "ui/LanguageChoice.h"

#include "platform/ProfileStore.h"
#include "platform/Text.h"
#include "resources/ResourceIds.h"
#include "records/SetupConfiguration.h"
#include "records/SetupState.h"

const LanguageButton kLanguageButtons[kLanguageButtonCount] = {
    {kIdcLanguageItaliano, "ITALIANO"},
    {kIdcLanguageEnglish, "ENGLISH"},
    {kIdcLanguageFrench, "FRENCH"},
    {kIdcLanguageEspanol, "ESPANOL"},
};

void ConfirmLanguageChoice(SetupState& state, ProfileStore& profile,
                           const bool checked[kLanguageButtonCount]) {
    for (int i = 0; i < kLanguageButtonCount; ++i) {
        if (checked[i]) {
            text::Copy(state.language, sizeof state.language, kLanguageButtons[i].language);
            break;
        }
    }
    profile.WriteString("SETTINGS", "CURRLANGUAGE", state.language,
                        kSetupConfiguration.settingsFileName);
}
