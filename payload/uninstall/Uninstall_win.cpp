// ZarBelPC_UNINSTALL: removes what the setup installed, keeping the user's songs.
// Switches: /quiet (no question, no message; exit code tells) and /log FILE (the final report,
// or the refusal, written to FILE). Exit codes: 0 all removed, 1 install folder refused,
// 2 something was left, 3 cancelled by the user.
#include <windows.h>

#include <cstdio>

#include "platform/Scoped_win.h"
#include "platform/SystemPaths_win.h"
#include "payload/common/CommandLine.h"
#include "platform/Text.h"
#include "payload/uninstall/UninstallPlan.h"
#include "payload/uninstall/UninstallRun.h"
#include "records/InstallEntries.h"
#include "records/SettingsFile.h"

namespace {

// The Program Files folders of both views, as the native view lists them.
constexpr const char* kProgramFilesValues[uninstall::kProgramFilesCount] = {
    entries::kProgramFilesValue, "ProgramFilesDir (x86)", "ProgramW6432Dir"};
constexpr int kExitRemoved = 0;
constexpr int kExitRefused = 1;
constexpr int kExitLeftovers = 2;
constexpr int kExitCancelled = 3;

struct Options {
    int quiet;
    char logFile[path::kPathSize];
};

void ParseOptions(Options* options) {
    options->quiet = 0;
    options->logFile[0] = '\0';
    const char* cursor = cmdline::SkipProgramName(GetCommandLineA());
    char word[path::kPathSize];
    int complete = 0;
    while (cmdline::NextWord(&cursor, word, sizeof word, &complete)) {
        if (text::EqualNoCase(word, "/quiet")) {
            options->quiet = 1;
        } else if (text::EqualNoCase(word, "/log") &&
                   cmdline::NextWord(&cursor, word, sizeof word, &complete) && complete) {
            text::Copy(options->logFile, sizeof options->logFile, word);
        }
    }
}

// The long form of a path that exists, so that a short alias of a system folder is seen as
// what it is; otherwise the path as given.
void LongForm(char* inOut, size_t size) {
    char longPath[path::kPathSize];
    DWORD length = GetLongPathNameA(inOut, longPath, sizeof longPath);
    if (length > 0 && length < sizeof longPath) {
        text::Copy(inOut, size, longPath);
    }
}

void ReadShellFolder(HKEY key, const char* name, char* out, DWORD outSize) {
    out[0] = '\0';
    if (key == nullptr) {
        return;
    }
    char raw[path::kPathSize];
    DWORD size = sizeof raw - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(raw), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return;
    }
    raw[size < sizeof raw ? size : sizeof raw - 1] = '\0';
    if (type == REG_EXPAND_SZ) {
        DWORD length = ExpandEnvironmentStringsA(raw, out, outSize);
        if (length == 0 || length > outSize) {
            out[0] = '\0';
        }
    } else {
        text::Copy(out, outSize, raw);
    }
}

void WriteLog(const char* file, const char* message) {
    if (file[0] == '\0') {
        return;
    }
    FILE* log = fopen(file, "w");
    if (log != nullptr) {
        fputs(message, log);
        fputs("\n", log);
        fclose(log);
    }
}

void Tell(const Options& options, const uninstall::Texts& texts, const char* message, UINT icon) {
    if (options.quiet) {
        WriteLog(options.logFile, message);
    } else {
        MessageBoxA(nullptr, message, texts.caption, MB_OK | icon);
    }
}

// Large enough that a cut never happens silently: a value that fills it is refused as too long.
char gInstallValue[1024];
char gMessage[uninstall::kReportSize + 256];
uninstall::Plan gPlan;
uninstall::Report gReport;

// The folders the plan is checked and made against, in their long forms, and the running
// uninstaller.
struct Places {
    char windows[path::kPathSize];
    char system[path::kPathSize];
    char installFolder[path::kPathSize];
    char desktop[path::kPathSize];
    char sendTo[path::kPathSize];
    char startMenu[path::kPathSize];
    char programs[path::kPathSize];
    char programFiles[uninstall::kProgramFilesCount][path::kPathSize];
    char self[path::kPathSize];
};
Places gPlaces;

void ReadSystemFolders(Places* places) {
    CheckPathLength(GetWindowsDirectoryA(places->windows, sizeof places->windows), places->windows,
                    sizeof places->windows);
    CheckPathLength(GetSystemDirectoryA(places->system, sizeof places->system), places->system,
                    sizeof places->system);
    LongForm(places->windows, sizeof places->windows);
    LongForm(places->system, sizeof places->system);
}

void ReadUserFolders(Places* places) {
    ScopedRegKey shellFolders;
    shellFolders.Open(HKEY_CURRENT_USER, entries::kShellFoldersKey, KEY_QUERY_VALUE);
    ReadShellFolder(shellFolders, entries::kDesktopValue, places->desktop, sizeof places->desktop);
    ReadShellFolder(shellFolders, entries::kSendToValue, places->sendTo, sizeof places->sendTo);
    ReadShellFolder(shellFolders, entries::kStartMenuValue, places->startMenu,
                    sizeof places->startMenu);
    ReadShellFolder(shellFolders, entries::kProgramsValue, places->programs,
                    sizeof places->programs);
}

void ReadProgramFilesFolders(Places* places) {
    // The native view: a 32-bit uninstaller sees the 32-bit folder as ProgramFilesDir
    // otherwise. Systems without views refuse the flag; then the plain view.
    ScopedRegKey currentVersion;
    if (currentVersion.Open(HKEY_LOCAL_MACHINE, entries::kCurrentVersionKey,
                            KEY_QUERY_VALUE | KEY_WOW64_64KEY) != ERROR_SUCCESS) {
        currentVersion.Open(HKEY_LOCAL_MACHINE, entries::kCurrentVersionKey, KEY_QUERY_VALUE);
    }
    for (int i = 0; i < uninstall::kProgramFilesCount; ++i) {
        ReadShellFolder(currentVersion, kProgramFilesValues[i], places->programFiles[i],
                        sizeof places->programFiles[i]);
        LongForm(places->programFiles[i], sizeof places->programFiles[i]);
    }
}

// Plans the removal for the install folder value read from the settings file, once the system's
// folders are known.
uninstall::FolderCheck PlanRemoval(const char* installValue, Places* places) {
    // A value too long for a path goes to the check whole, which refuses it.
    if (text::Copy(places->installFolder, sizeof places->installFolder, installValue)) {
        LongForm(places->installFolder, sizeof places->installFolder);
        installValue = places->installFolder;
    }
    ReadUserFolders(places);
    CheckPathLength(GetModuleFileNameA(nullptr, places->self, sizeof places->self), places->self,
                    sizeof places->self);
    LongForm(places->self, sizeof places->self);
    ReadProgramFilesFolders(places);

    uninstall::SystemFolders folders = {};
    folders.windows = places->windows;
    folders.system = places->system;
    folders.desktop = places->desktop;
    folders.sendTo = places->sendTo;
    folders.startMenu = places->startMenu;
    folders.programs = places->programs;
    for (int i = 0; i < uninstall::kProgramFilesCount; ++i) {
        folders.programFiles[i] = places->programFiles[i];
    }
    uninstall::FolderCheck check =
        uninstall::BuildPlan(installValue, folders, places->self, &gPlan);
    // Then what the disk says: no junction on the way, and the folder resolved from a handle
    // (held until the folder itself is removed) is still one the uninstaller may empty.
    if (check == uninstall::FolderCheck::kOk) {
        check = uninstall::CheckFolderOnDisk(gPlan.installFolder, folders,
                                             uninstall::PlatformUninstallSystem());
    }
    return check;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Options options;
    ParseOptions(&options);

    char language[64];
    GetPrivateProfileStringA(settings::kSettingsSection, settings::kLanguageKey, "", language,
                             sizeof language, settings::kFileName);
    const uninstall::Texts& texts = uninstall::TextsFor(language);

    if (!options.quiet && MessageBoxA(nullptr, texts.confirm, texts.caption,
                                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return kExitCancelled;
    }

    DWORD valueLength =
        GetPrivateProfileStringA(settings::kPathSection, settings::kInstallPathKey, "",
                                 gInstallValue, sizeof gInstallValue, settings::kFileName);
    ReadSystemFolders(&gPlaces);
    uninstall::FolderCheck check = uninstall::FolderCheck::kTooLong;
    if (valueLength + 1 < sizeof gInstallValue && gPlaces.windows[0] != '\0' &&
        gPlaces.system[0] != '\0') {
        check = PlanRemoval(gInstallValue, &gPlaces);
    }
    if (check != uninstall::FolderCheck::kOk) {
        uninstall::ComposeRefusal(check, gInstallValue, texts, gMessage, sizeof gMessage);
        Tell(options, texts, gMessage, MB_ICONERROR);
        return kExitRefused;
    }

    // Our own current directory must not keep the install folder from going.
    SetCurrentDirectoryA(gPlaces.windows);
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    uninstall::ExecutePlan(gPlan, uninstall::PlatformUninstallSystem(), texts, &gReport);
    SetCursor(previous);

    uninstall::ComposeSummary(gReport, texts, gMessage, sizeof gMessage);
    Tell(options, texts, gMessage, gReport.failures > 0 ? MB_ICONWARNING : MB_ICONINFORMATION);
    return gReport.failures > 0 ? kExitLeftovers : kExitRemoved;
}
