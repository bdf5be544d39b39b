// What the language dialog does with the user's choice. It runs before the string table is
// loaded, so it has no localized texts of its own.
#pragma once

struct SetupState;
class ProfileStore;

struct LanguageButton {
    int id;
    const char* language;
};

// The language buttons the dialog knows, in the order they are asked. The template carries
// only the first two, so "FRENCH" and "ESPANOL" cannot be chosen with it; a button without a
// control reads as unchecked. The dialog always opens with the first one checked, whatever the
// state or the settings file hold.
constexpr int kLanguageButtonCount = 4;
extern const LanguageButton kLanguageButtons[kLanguageButtonCount];

// OK: the first checked button's language goes into the state (which keeps its value when none
// is checked), then SETTINGS/CURRLANGUAGE of the settings file gets the state's language, even
// when nothing was checked. checked[i] is the check state of kLanguageButtons[i].
void ConfirmLanguageChoice(SetupState& state, ProfileStore& profile,
                           const bool checked[kLanguageButtonCount]);
