// The payload entries that the installation itself needs, by the names the setup gives them: the
// planner copies, registers and starts them, the uninstaller undoes that, and zbpack refuses a
// payload folder without them. Names compare without regard to case, as on Windows.
#pragma once

namespace entries {

// The controls in the order they are registered; the first start has no owner window.
struct Control {
    const char* file;
    bool ownedByDialog;
};
constexpr Control kControls[] = {
    {"COMDLG32.OCX", false},   {"MSCOMCTL.OCX", true}, {"MSCOMCT2.OCX", true},
    {"TuneChooser.ocx", true}, {"TABCTL32.ocx", true}, {"MSINET.ocx", true},
};
constexpr int kControlCount = sizeof kControls / sizeof kControls[0];

// Copied into the Windows directory beside the settings file.
constexpr const char* kUninstaller = "ZarBelPC_uninstall.exe";
constexpr const char* kRuntimeLibraries[] = {"mfc71.dll", "msvcr71.dll"};
// Counted as Windows Installer counts shared files: one REG_DWORD per file under this key of
// HKEY_LOCAL_MACHINE, named by the file's full path. The setup and the uninstaller use the
// same registry view (a 32-bit program's on 64-bit Windows), so each sees the counts the other
// keeps.
constexpr const char* kSharedDllsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
// The system's list of installed fonts: value "<full name> (TrueType)", data the file name in
// the fonts folder.
constexpr const char* kFontsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr const char* kTrueTypeSuffix = " (TrueType)";
// Started from the install folder at the end.
constexpr const char* kCompanion = "assocset.exe";
// Registers the controls; started by its full path in the system directory.
constexpr const char* kRegistrationProgram = "regsvr32.exe";
// The font file, copied from the install folder into this folder of the Windows directory.
constexpr const char* kFontsFolder = "FONTS";
constexpr const char* kFontFile = "EUROSTIB.TTF";
// The one entry the setup deletes itself right after installing, and the file it creates empty
// in the install folder.
constexpr const char* kDeletedEntry = "movefile.bat";
constexpr const char* kPlaylist = "DefaultPlaylist.pls";

// The installation's entry in the system's list of installed programs, under HKEY_LOCAL_MACHINE,
// and its values in the order the setup writes them. The uninstaller removes exactly these.
constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZarBelPC";
enum UninstallValue {
    kDisplayName,
    kDisplayVersion,
    kPublisher,
    kInstallLocation,
    kDisplayIcon,
    kUninstallString,
    kQuietUninstallString,
    kEstimatedSize,
    kNoModify,
    kNoRepair,
    kUrlInfoAbout,
    kUninstallValueCount
};
constexpr const char* kUninstallValues[kUninstallValueCount] = {
    "DisplayName",     "DisplayVersion",       "Publisher",     "InstallLocation", "DisplayIcon",
    "UninstallString", "QuietUninstallString", "EstimatedSize", "NoModify",        "NoRepair",
    "URLInfoAbout",
};

// Under HKEY_LOCAL_MACHINE: the Program Files folder the setup installs under by default, which
// the uninstaller refuses to empty.
constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kProgramFilesValue = "ProgramFilesDir";

// The user's shell folders under HKEY_CURRENT_USER, and the values that name the folders the
// links go into.
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kDesktopValue = "Desktop";
constexpr const char* kSendToValue = "SendTo";
constexpr const char* kStartMenuValue = "Start Menu";
constexpr const char* kProgramsValue = "Programs";
// The links of the shortcut table (records/SetupConfiguration.h) and the program group that
// holds them in the Programs folder.
constexpr const char* kLinkName = "ZarbelPC.lnk";
constexpr const char* kUninstallLinkName = "Uninstall ZarbelPC.lnk";
constexpr const char* kGroupFolder = "ZarbelPC";

// The whole list, for checks: the entries above, then the settings file, the font and the
// program the links point at (from the setup's configuration). Fills names with at most capacity
// pointers to static texts and returns how many there are.
constexpr int kRuntimeLibraryCount = sizeof kRuntimeLibraries / sizeof kRuntimeLibraries[0];
constexpr int kRequiredCount = kControlCount + 1 + kRuntimeLibraryCount + 1 + 3;
int RequiredEntries(const char** names, int capacity);

}  // namespace entries
