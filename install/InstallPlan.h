// The install sequence as a plan: every action with its exact paths and texts, built before
// anything is touched, then carried out through the platform. The plan does not depend on the
// platform, so its order, paths and parameter texts are checked apart from it.
#pragma once

#include <cstddef>

#include "platform/Text.h"
#include "platform/Types.h"

struct Platform;
struct SetupConfiguration;

// The plan's types live in install::, apart from the dialogs' command routing (ui/).
namespace install {

// Every composed path and parameter text fits the platform's path limit, terminator included.
constexpr size_t kInstallPathSize = path::kPathSize;
// The SONGDIR setting is composed in a smaller buffer. The archive extraction writes every
// entry as the install folder, a backslash and its name in kExtractPathSize (package layer).
constexpr size_t kSongFolderSize = 256;
constexpr int kMaxInstallActions = 40;

enum class InstallStep {
    kCreateFolder,      // path (the last level only; the result is ignored)
    kSetProgress,       // number: the position sent to window's control 1005
    kExtractResource,   // resourceType/resourceName -> path; number: steps; start: first position
    kExtractArchive,    // archiveName in folder path; number: span; start: base. Stops on failure
    kCopyFile,          // source -> path, replacing
    kDeleteFile,        // path
    kWait,              // number: milliseconds
    kWriteSetting,      // section, key, text: the value, file: the settings file's bare name
    kShowWaitCursor,    // keeps the cursor shown before
    kRestoreCursor,     // shows the kept cursor again
    kStartProgram,      // path through the "open" verb, hidden, owner window, text: parameters
    kCreateEmptyFile,   // path, emptied when it exists
    kSetCurrentFolder,  // path
    // source -> path for a runtime library in the Windows directory: a newer or versioned copy
    // there stays; either way the file's shared count goes up by one.
    kInstallSharedFile,
    kRegisterFont,  // the font at path: loaded, listed with file as data, announced
};

struct InstallAction {
    InstallStep step;
    WindowHandle window;  // progress window, or the owner of a program start (may be null)
    int number;
    int start;
    const char* resourceType;
    const char* resourceName;  // also the archive's file name
    const char* section;
    const char* key;
    const char* file;
    char path[kInstallPathSize];
    char source[kInstallPathSize];
    char text[kInstallPathSize];  // setting value or parameters; empty: no parameters
};

struct InstallPlan {
    InstallAction actions[kMaxInstallActions];
    int count;
};

struct InstallInputs {
    WindowHandle installDialog;
    const char* installFolder;
    const char* windowsFolder;
    const char* systemFolder;  // where "regsvr32.exe" is started from
    size_t longestEntryName;   // of the payload archive's entries (archive::LongestEntryName)
    const SetupConfiguration* configuration;
};

enum class PlanResult {
    kOk,
    kInstallFolderTooLong,   // a path or parameter text made from the install folder does not fit
    kWindowsFolderUnusable,  // empty, or a path made from it does not fit
    kSystemFolderUnusable,   // empty, or regsvr32's path does not fit
};

// Plans the whole installation before the shortcuts: the install folder, progress 0 and the
// install sequence. On anything but Ok the plan must not be carried out.
PlanResult PlanInstallation(const InstallInputs& inputs, InstallPlan* plan);
// Appends the install sequence to plan: from progress 10 to the start of the companion program.
PlanResult PlanInstallSequence(const InstallInputs& inputs, InstallPlan* plan);

// Carries the plan out in order. Only the archive extraction is examined: when it fails, the
// rest of the plan is skipped and the result is 0. Otherwise 1.
int RunInstallPlan(const InstallPlan& plan, Platform& platform);

}  // namespace install
