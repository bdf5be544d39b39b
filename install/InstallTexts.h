// The install layer's messages that are not in the dictionary, with their exact bytes: the
// registry failures of the install location and of the shortcuts, and the refused plans.
#pragma once

constexpr const char* kRegistryCaption = "Read Registry";
constexpr const char* kErrorCaption = "GetLastError";

constexpr const char* kProgramFilesCannotOpen =
    "Can't open registry:\n"
    "HKEY_LOCAL_MACHINE::Software\\Microsoft\\Windows\\CurrentVersion Key:=ProgramFilesDir";
constexpr const char* kProgramFilesCannotRead =
    "Can't find registry key:\n"
    "HKEY_LOCAL_MACHINE::Software\\Microsoft\\Windows\\CurrentVersion Key:=ProgramFilesDir";

constexpr const char* kShellFoldersCannotOpen = "Can't open registry:\\HKEY_CURRENT_USER";
constexpr const char* kShellFoldersCannotRead = "Can't find registry key:\\HKEY_CURRENT_USER";

constexpr const char* kRefusalCaption = "ZarBelPC - Setup";
constexpr const char* kInstallFolderTooLong =
    "The installation folder is too long:\n%s\n\nPlease start the setup again and choose a shorter "
    "folder.";
constexpr const char* kWindowsFolderUnusable = "Can't use the Windows directory:\n%s";
constexpr const char* kSystemFolderUnusable =
    "Can't find the system directory, so the controls cannot be registered.";
