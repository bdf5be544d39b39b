// The dictionary's keys that the setup looks up and the language sections it can select: the
// setup's code, its dialogs and zbpack's dictionary check all name them from here.
#pragma once

namespace keys {

constexpr const char* kSetupCaption = "SETUP_CAPTION";
constexpr const char* kSetupInstall = "SETUP_INSTALL";
constexpr const char* kGlobalCancel = "GLOBAL_CANCEL";
constexpr const char* kSetupChangeDir = "SETUP_CHANGE_DIR";
constexpr const char* kSetupChooseInstallPath = "SETUP_CHOOSE_INSTALL_PATH";
constexpr const char* kGlobalWarning = "GLOBAL_WARNING";
constexpr const char* kSetupAborted = "SETUP_ABORTED";
constexpr const char* kGlobalInfo = "GLOBAL_INFO";
constexpr const char* kSetupCreateIconOnDesktop = "SETUP_CREATE_ICON_ON_DESKTOP";
constexpr const char* kSetupCompletedSuccesfully = "SETUP_COMPLETED_SUCCESFULLY";
constexpr const char* kSetupLicenseAgreementAccept = "SETUP_LICENSE_AGREEMENT_ACCEPT";
constexpr const char* kSetupLicenseAgreementDontAccept = "SETUP_LICENSE_AGREEMENT_DONT_ACCEPT";
// Looked up with a text of the setup's own to fall back on, so a dictionary may lack it.
constexpr const char* kSetupLicenseNotShown = "SETUP_LICENSE_NOT_SHOWN";

}  // namespace keys

// The keys a dictionary for the setup lists.
constexpr const char* kSetupStringKeys[] = {
    keys::kSetupCaption,
    keys::kSetupInstall,
    keys::kGlobalCancel,
    keys::kSetupChangeDir,
    keys::kSetupChooseInstallPath,
    keys::kGlobalWarning,
    keys::kSetupAborted,
    keys::kGlobalInfo,
    keys::kSetupCreateIconOnDesktop,
    keys::kSetupCompletedSuccesfully,
    keys::kSetupLicenseAgreementAccept,
    keys::kSetupLicenseAgreementDontAccept,
};
constexpr int kSetupStringKeyCount = sizeof kSetupStringKeys / sizeof kSetupStringKeys[0];

// The language sections, in the order of the language dialog's buttons; a LanguageName is one
// of these, compared as a whole text.
namespace languages {

constexpr const char* kItaliano = "ITALIANO";  // the initial one
constexpr const char* kEnglish = "ENGLISH";
constexpr const char* kFrench = "FRENCH";
constexpr const char* kEspanol = "ESPANOL";

}  // namespace languages

constexpr const char* kSetupLanguages[] = {
    languages::kItaliano,
    languages::kEnglish,
    languages::kFrench,
    languages::kEspanol,
};
constexpr int kSetupLanguageCount = sizeof kSetupLanguages / sizeof kSetupLanguages[0];
