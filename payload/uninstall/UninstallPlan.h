// What the uninstaller removes and in which order: the controls it unregisters, the files of
// the install folder, the copies in the Windows directory, the links and the settings file.
// Everything here is text work; the uninstaller's Win32 part carries the plan out.
#pragma once

#include <cstddef>

#include "platform/Text.h"

namespace uninstall {

constexpr size_t kPathSize = path::kPathSize;
// A quoted program path, switches and a quoted file path.
constexpr size_t kCommandSize = 2 * kPathSize + 32;

// The files the setup unpacks into the install folder, exactly as the archive names them.
constexpr int kPayloadEntryCount = 26;
extern const char* const kPayloadEntries[kPayloadEntryCount];

enum class FolderCheck {
    kOk,
    kEmpty,         // no value at all
    kNotAbsolute,   // not "<drive letter>:\..." (relative, UNC, no drive)
    kDriveRoot,     // "C:\" itself
    kSystemFolder,  // the Windows or system directory, or a folder above one of them
    kBadName,       // "." or ".." parts, characters a folder name cannot hold
    kTooLong,       // the folder and the longest entry name do not fit a path
};

// Checks the install folder read from the settings file and writes its normal form to out
// (forward slashes turned into backslashes, repeated and trailing backslashes dropped,
// surrounding blanks trimmed). out holds the folder only when kOk is returned.
FolderCheck CheckInstallFolder(const char* value, const char* windowsFolder,
                               const char* systemFolder, char* out, size_t outSize);

enum class ActionKind {
    kRunAndWait,           // start program with commandLine and wait for it to end
    kDeleteFile,           // delete path
    kDeleteAtRestart,      // path is the running uninstaller: have it deleted at the next restart
    kRemoveEmptyFolder,    // remove the folder path if nothing is left in it
    kRemoveRegistryEntry,  // the values of kUninstallEntryValues under subject, then subject
};

enum class Purpose { kUnregisterControl, kRemoveAssociations, kFile, kFolder, kRegistryEntry };

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

struct SystemFolders {
    const char* windows;  // the Windows directory
    const char* system;   // the system directory, where regsvr32.exe lives
    // The user's shell folders; empty or null when unreadable, then "C:\" stands in for them,
    // which is where the setup puts links in that case.
    const char* desktop;
    const char* sendTo;
    const char* startMenu;
    const char* programs;
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
