// Carrying out the uninstaller's plan over a small platform interface, and the report of what
// could not be removed, in the product's language.
#pragma once

#include <cstddef>

#include "UninstallPlan.h"

class RegistryAccess;

namespace uninstall {

enum class Outcome {
    kDone,       // removed, or the program ran and succeeded
    kAbsent,     // there was nothing to remove
    kNotEmpty,   // a folder that still holds files
    kScheduled,  // removal waits for the next restart
    kFailed,
};

class UninstallSystem {
public:
    virtual ~UninstallSystem() = default;
    virtual int FileExists(const char* path) = 0;
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

struct Texts {
    const char* caption;
    const char* confirm;
    const char* removed;         // everything went
    const char* removedButLeft;  // followed by the report lines
    const char* refused;         // followed by the reason and the value
    const char* reasons[7];      // by FolderCheck
    const char* notRemoved;
    const char* keptFolder;
    const char* atRestart;
    const char* notUnregistered;
    const char* associationsLeft;
    const char* tooLong;  // "%d" paths too long to handle
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
