// The settings file that the setup writes in the Windows directory and that the product's
// programs and the uninstaller read again by bare name: its name, sections and keys.
#pragma once

namespace settings {

constexpr const char* kFileName = "ZarBelPC.INI";

constexpr const char* kSettingsSection = "SETTINGS";
constexpr const char* kLanguageKey = "CURRLANGUAGE";  // a language section of the dictionary
constexpr const char* kExeModeKey = "EXEMODE";

constexpr const char* kPathSection = "PATH";
constexpr const char* kInstallPathKey = "Installpath";  // the install folder
constexpr const char* kServerPathKey = "ServerPath";
constexpr const char* kSongFolderKey = "SONGDIR";

constexpr const char* kOptionsSection = "Options";
constexpr const char* kFirstTimeKey = "FirstTime";

}  // namespace settings
