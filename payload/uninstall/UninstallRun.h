// Carrying out the uninstaller's plan over a small platform interface, and the report of what
// could not be removed, in the product's language.
#pragma once

#include <cstddef>

#include "payload/uninstall/UninstallPlan.h"

class RegistryAccess;

namespace uninstall {

enum class Outcome {
    kDone,       // removed, or the program ran and succeeded
    kAbsent,     // there was nothing to remove
    kNotEmpty,   // a folder that still holds files
    kScheduled,  // removal waits for the next restart
    kFailed,
};

class UninstallSystem : public FolderProbe {
public:
    virtual int FileExists(const char* path) = 0;
    // 1 when users other than the administrators can change the file or folder: its access
    // list lets someone else write, append, delete or change it, or its owner is someone else
    // (an owner can always rewrite the access list). A program or control there could have been
    // replaced by any user, so the uninstaller, which runs with administrator rights, must not
    // load or start it. 1 also when the access list cannot be read.
    virtual int WritableByOthers(const char* path) = 0;
    // The registry that holds the counts of shared files and the list of fonts (the same view
    // as the setup's).
    virtual RegistryAccess& Registry() = 0;
    // The full name of the TrueType font in the file (from its name table); 0 when unreadable.
    virtual int FontFullName(const char* path, char* out, size_t outSize) = 0;
    // Unloads the font file from the running session and tells the top-level windows that the
    // fonts changed, without waiting on a window that does not answer.
    virtual void UnloadFont(const char* path) = 0;
    // Starts program with commandLine and waits for it; kDone only when it ended with code 0.
    virtual Outcome RunAndWait(const char* program, const char* commandLine) = 0;
    virtual Outcome RemoveFile(const char* path) = 0;
    virtual Outcome DeleteAtRestart(const char* path) = 0;
    virtual Outcome RemoveEmptyFolder(const char* path) = 0;
    // Removes the values of entries::kUninstallValues from the key under HKEY_LOCAL_MACHINE, then
    // the key itself when nothing else is left in it. kDone or kAbsent when the key is gone.
    virtual Outcome RemoveUninstallEntry(const char* key) = 0;
};

// What RemoveUninstallEntry does, over any registry: the values of entries::kUninstallValues under
// HKEY_LOCAL_MACHINE\key, then the key when nothing else is left in it. kDone when the key is
// gone; kFailed when it stays (values or sub-keys the setup did not write, or a refusal).
Outcome RemoveEntryValues(RegistryAccess& registry, const char* key);

// What releasing a shared file's count leaves to do.
enum class SharedRelease {
    kDeleteFile,  // the count reached 0 and is gone: nothing else is counted on the file
    kKeepFile,    // other programs are still counted on it
    kNoCount,     // no count at all: whoever put it there did not count it; it stays
    kFailed,      // the count could not be written back
};

// Takes one off the count of the file at path under the SharedDLLs key; at 0 the value goes.
SharedRelease ReleaseSharedCount(RegistryAccess& registry, const char* path);

// Takes the font off the system's list: the value "<full name> (TrueType)", only while it names
// fileName. 1 when the value is gone (or was never there).
int RemoveFontValue(RegistryAccess& registry, const char* fullName, const char* fileName);

struct Texts {
    const char* caption;
    const char* confirm;
    const char* removed;                     // everything went
    const char* removedButLeft;              // followed by the report lines
    const char* refused;                     // followed by the reason and the value
    const char* reasons[kFolderCheckCount];  // by FolderCheck
    const char* notRemoved;
    const char* keptFolder;
    const char* atRestart;
    const char* notUnregistered;
    const char* associationsLeft;
    const char* tooLong;  // "%d" paths too long to handle
    // A program or control that was not started or loaded: others can change its folder.
    const char* notRunWritable;
};

// The texts for the language of the settings file's SETTINGS/CURRLANGUAGE; English for any
// language without texts of its own.
const Texts& TextsFor(const char* language);

constexpr size_t kReportSize = 4096;

struct Report {
    char text[kReportSize];
    int failures;   // things that should have gone and are still there
    int kept;       // folders kept because they still hold files (the user's songs)
    int scheduled;  // removals waiting for the next restart
    int truncated;  // lines that did not fit text
};

// Runs every action of plan in order and lists in report what was left behind.
void ExecutePlan(const Plan& plan, UninstallSystem& system, const Texts& texts, Report* report);

// The whole message for the end: a first line that says whether everything went, then the
// report's lines. Always terminated within outSize.
void ComposeSummary(const Report& report, const Texts& texts, char* out, size_t outSize);

// The message for a refused install folder.
void ComposeRefusal(FolderCheck check, const char* value, const Texts& texts, char* out,
                    size_t outSize);

}  // namespace uninstall

namespace uninstall {

// The running system's files, folders and processes.
UninstallSystem& PlatformUninstallSystem();

}  // namespace uninstall
