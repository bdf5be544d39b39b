// What the uninstaller removes and in which order: the controls it unregisters, the files of
// the install folder, the copies in the Windows directory, the links and the settings file.
// Everything here is text work; the uninstaller's Win32 part carries the plan out.
#pragma once

#include <cstddef>

#include "payload/PayloadEntries.h"
#include "platform/Text.h"

namespace uninstall {

constexpr size_t kPathSize = path::kPathSize;
// A quoted program path, switches and a quoted file path.
constexpr size_t kCommandSize = 2 * kPathSize + 32;

enum class FolderCheck {
    kOk,
    kEmpty,        // no value at all
    kNotAbsolute,  // not "<drive letter>:\..." (relative, UNC, no drive)
    kDriveRoot,    // "C:\" itself
    // The Windows directory or a folder below it (System32, SysWOW64, Sysnative, Fonts, ...),
    // the system directory or a folder below it, or a folder above one of them.
    kSystemFolder,
    kBadName,       // a part Windows does not store as given: "." or "..", a device name, ...
    kTooLong,       // the folder and the longest entry name do not fit a path
    kProgramFiles,  // a Program Files folder of either view itself, or a folder above one
    // A junction, symbolic link or other reparse point in one of its parts, or a folder that the
    // file system resolves to another place than its name says.
    kReparsePoint,
};
constexpr int kFolderCheckCount = 9;

// The Program Files folders of both views: ProgramFilesDir of the native and the 32-bit view
// and ProgramW6432Dir (empty or null when a system lacks one).
constexpr int kProgramFilesCount = 3;

struct SystemFolders {
    const char* windows;  // the Windows directory
    const char* system;   // the system directory, where regsvr32.exe lives
    // The user's shell folders; empty or null when unreadable, then "C:\" stands in for them,
    // which is where the setup puts links in that case.
    const char* desktop;
    const char* sendTo;
    const char* startMenu;
    const char* programs;
    const char* programFiles[kProgramFilesCount];
};

// Checks the install folder read from the settings file and writes its normal form to out
// (forward slashes turned into backslashes, repeated and trailing backslashes dropped,
// surrounding blanks trimmed). out holds the folder only when kOk is returned. Text only: what
// the disk says about the folder is CheckFolderOnDisk's.
FolderCheck CheckInstallFolder(const char* value, const SystemFolders& folders, char* out,
                               size_t outSize);

// What the uninstaller asks the disk about the install folder before it trusts its name.
class FolderProbe {
public:
    virtual ~FolderProbe() = default;
    // 1 when path exists and is a reparse point (junction, symbolic link, mount point).
    virtual int IsReparsePoint(const char* path) = 0;
    // The path the file system resolves the existing folder to, from a handle opened on it, in
    // the "\\?\C:\..." or "C:\..." form. 0 when the folder cannot be opened (it is missing)
    // or the system cannot tell.
    virtual int FinalFolderPath(const char* folder, char* out, size_t outSize) = 0;
};

// Checks the folder (in normal form, accepted by CheckInstallFolder) on disk: no reparse point
// in any of its parts, and the path resolved from a handle passes CheckInstallFolder again and
// names the same folder.
FolderCheck CheckFolderOnDisk(const char* folder, const SystemFolders& folders, FolderProbe& probe);

enum class ActionKind {
    kRunAndWait,           // start program with commandLine and wait for it to end
    kDeleteFile,           // delete path
    kDeleteAtRestart,      // path is the running uninstaller: have it deleted at the next restart
    kRemoveEmptyFolder,    // remove the folder path if nothing is left in it
    kRemoveRegistryEntry,  // the values of kUninstallEntryValues under subject, then subject
    // A shared library in the Windows directory: its count goes down by one, and the file and
    // its count go when no other program is counted on it.
    kReleaseSharedFile,
    // The font at path: unloaded, taken off the system's list of fonts, the running programs
    // told; the file itself goes with the next action.
    kUnregisterFont,
};

enum class Purpose {
    kUnregisterControl,
    kRemoveAssociations,
    kFile,
    kFolder,
    kRegistryEntry,
    kSharedFile,
    kFont,
};

struct Action {
    ActionKind kind;
    Purpose purpose;
    // The file or folder; for kRunAndWait the program; for kRemoveRegistryEntry the key's full
    // name, as the report shows it.
    char path[kPathSize];
    char commandLine[kCommandSize];  // kRunAndWait only
    // kRunAndWait: the file the program works on; the run is skipped when it is missing.
    // kRemoveRegistryEntry: the key under HKEY_LOCAL_MACHINE.
    char subject[kPathSize];
};

constexpr int kMaxActions = 64;

struct Plan {
    int count;
    Action actions[kMaxActions];
    // Files or links whose path would not fit kPathSize; they are left in place.
    int tooLong;
    char installFolder[kPathSize];
};

// Fills plan for the install folder value of the settings file. runningProgram is the path of
// the uninstaller itself, whose deletion waits for the next restart. When the folder is refused
// the plan stays empty and the reason is returned.
FolderCheck BuildPlan(const char* installFolderValue, const SystemFolders& folders,
                      const char* runningProgram, Plan* plan);

}  // namespace uninstall
