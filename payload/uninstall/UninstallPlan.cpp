// The uninstaller's plan: which paths go, in which order, and which install folders it refuses.
#include "payload/uninstall/UninstallPlan.h"

#include <cstdio>
#include <cstring>

#include "platform/FileNames.h"
#include "records/InstallEntries.h"
#include "records/SettingsFile.h"

namespace uninstall {

namespace {

// The setup makes a link whose shell folder it cannot read in the root of drive C; joined with
// a name, this gives that path with a single backslash.
constexpr const char* kFallbackShellFolder = "C:";

int IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Normal form of an absolute drive path: backslashes only, no repeated or trailing ones
// (except the root's). Returns 0 when it does not fit.
int Normalize(const char* value, char* out, size_t outSize) {
    while (*value == ' ' || *value == '\t') {
        ++value;
    }
    size_t used = 0;
    for (const char* p = value; *p != '\0'; ++p) {
        char c = *p == '/' ? '\\' : *p;
        if (c == '\\' && used > 0 && out[used - 1] == '\\') {
            continue;
        }
        if (used + 1 >= outSize) {
            return 0;
        }
        out[used++] = c;
    }
    while (used > 0 && (out[used - 1] == ' ' || out[used - 1] == '\t')) {
        --used;
    }
    while (used > 3 && out[used - 1] == '\\') {
        --used;
    }
    out[used] = '\0';
    return 1;
}

// Whether folder is other or a folder above it, both in normal form.
int IsSameOrAbove(const char* folder, const char* other) {
    if (other == nullptr || other[0] == '\0') {
        return 0;
    }
    char normal[kPathSize];
    if (!Normalize(other, normal, sizeof normal)) {
        return 0;
    }
    if (!text::StartsWithNoCase(normal, folder)) {
        return 0;
    }
    char next = normal[strlen(folder)];
    return next == '\0' || next == '\\';
}

// Whether folder is other or a folder below it, both in normal form.
int IsSameOrBelow(const char* folder, const char* other) {
    if (other == nullptr || other[0] == '\0') {
        return 0;
    }
    char normal[kPathSize];
    if (!Normalize(other, normal, sizeof normal) || !text::StartsWithNoCase(folder, normal)) {
        return 0;
    }
    size_t length = strlen(normal);
    char next = folder[length];
    return next == '\0' || next == '\\' || (length > 0 && normal[length - 1] == '\\');
}

// Whether Windows stores every part after the drive as given (platform/FileNames): no "." or
// "..", no characters that a name cannot hold, no device name, and no trailing dot or blank,
// which the file system drops (so "C:\Windows." is the Windows directory).
int EveryPartIsStoredAsGiven(const char* folder) {
    char part[kPathSize];
    for (const char* rest = folder + 3; *rest != '\0';) {
        const char* end = strchr(rest, '\\');
        size_t length = end != nullptr ? static_cast<size_t>(end - rest) : strlen(rest);
        if (length >= sizeof part) {
            return 0;
        }
        memcpy(part, rest, length);
        part[length] = '\0';
        if (!names::IsStoredAsGiven(part)) {
            return 0;
        }
        rest += end != nullptr ? length + 1 : length;
    }
    return 1;
}

size_t LongestEntryName() {
    size_t longest = strlen(entries::kPlaylist);
    for (const char* name : kPayloadEntries) {
        size_t length = strlen(name);
        if (length > longest) {
            longest = length;
        }
    }
    return longest;
}

const char* ShellFolderOrFallback(const char* folder) {
    return (folder != nullptr && folder[0] != '\0') ? folder : kFallbackShellFolder;
}

Action* NextAction(Plan* plan) {
    if (plan->count >= kMaxActions) {
        return nullptr;
    }
    Action* action = &plan->actions[plan->count];
    memset(action, 0, sizeof *action);
    return action;
}

void AddPathAction(Plan* plan, ActionKind kind, Purpose purpose, const char* folder,
                   const char* name) {
    Action* action = NextAction(plan);
    if (action == nullptr || !path::Join(action->path, sizeof action->path, folder, name)) {
        ++plan->tooLong;
        return;
    }
    action->kind = kind;
    action->purpose = purpose;
    ++plan->count;
}

void AddRun(Plan* plan, Purpose purpose, const char* program, const char* switches,
            const char* subject) {
    Action* action = NextAction(plan);
    if (action == nullptr || !text::Copy(action->path, sizeof action->path, program) ||
        !text::Copy(action->subject, sizeof action->subject, subject)) {
        ++plan->tooLong;
        return;
    }
    int length = purpose == Purpose::kUnregisterControl
                     ? snprintf(action->commandLine, sizeof action->commandLine, "\"%s\" %s \"%s\"",
                                program, switches, subject)
                     : snprintf(action->commandLine, sizeof action->commandLine, "\"%s\" %s",
                                program, switches);
    if (length < 0 || static_cast<size_t>(length) >= sizeof action->commandLine) {
        ++plan->tooLong;
        return;
    }
    action->kind = ActionKind::kRunAndWait;
    action->purpose = purpose;
    ++plan->count;
}

// An action on a path that fits already; nothing when the plan is full.
Action* AddAction(Plan* plan, ActionKind kind, Purpose purpose, const char* path) {
    Action* action = NextAction(plan);
    if (action == nullptr) {
        return nullptr;
    }
    action->kind = kind;
    action->purpose = purpose;
    text::Copy(action->path, sizeof action->path, path);
    ++plan->count;
    return action;
}

// The phases of the plan, in their order.

// The controls the setup registers, in its order, then the companion's file associations.
void PlanUnregistrations(Plan* plan, const SystemFolders& folders) {
    const char* install = plan->installFolder;
    char program[kPathSize];
    char subject[kPathSize];
    if (path::Join(program, sizeof program, folders.system, entries::kRegistrationProgram)) {
        for (const entries::Control& control : entries::kControls) {
            path::Join(subject, sizeof subject, install, control.file);
            AddRun(plan, Purpose::kUnregisterControl, program, "/u /s", subject);
        }
    } else {
        plan->tooLong += entries::kControlCount;
    }
    path::Join(program, sizeof program, install, entries::kCompanion);
    AddRun(plan, Purpose::kRemoveAssociations, program, "/u", program);
}

void PlanInstallFolderFiles(Plan* plan) {
    const char* install = plan->installFolder;
    for (const char* entry : kPayloadEntries) {
        if (!text::EqualNoCase(entry, entries::kDeletedEntry)) {
            AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile, install, entry);
        }
    }
    AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile, install, entries::kPlaylist);
}

// The copies the setup puts into the Windows directory besides the settings file.
void PlanWindowsFolderFiles(Plan* plan, const SystemFolders& folders) {
    AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile, folders.windows,
                  entries::kUninstaller);
    for (const char* library : entries::kRuntimeLibraries) {
        AddPathAction(plan, ActionKind::kReleaseSharedFile, Purpose::kSharedFile, folders.windows,
                      library);
    }
    char fonts[kPathSize];
    if (path::Join(fonts, sizeof fonts, folders.windows, entries::kFontsFolder)) {
        AddPathAction(plan, ActionKind::kUnregisterFont, Purpose::kFont, fonts, entries::kFontFile);
        AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile, fonts, entries::kFontFile);
    } else {
        plan->tooLong += 2;
    }
}

void PlanLinks(Plan* plan, const SystemFolders& folders) {
    AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile,
                  ShellFolderOrFallback(folders.desktop), entries::kLinkName);
    AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile,
                  ShellFolderOrFallback(folders.sendTo), entries::kLinkName);
    AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile,
                  ShellFolderOrFallback(folders.startMenu), entries::kLinkName);
    char group[kPathSize];
    if (path::Join(group, sizeof group, ShellFolderOrFallback(folders.programs),
                   entries::kGroupFolder)) {
        AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile, group, entries::kLinkName);
        AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile, group,
                      entries::kUninstallLinkName);
        AddAction(plan, ActionKind::kRemoveEmptyFolder, Purpose::kFolder, group);
    } else {
        plan->tooLong += 2;
    }
}

// The running uninstaller cannot delete itself; its deletion waits for the next restart.
void DeferRunningProgram(Plan* plan, const char* runningProgram) {
    if (runningProgram == nullptr || runningProgram[0] == '\0') {
        return;
    }
    for (int i = 0; i < plan->count; ++i) {
        Action& each = plan->actions[i];
        if (each.kind == ActionKind::kDeleteFile && text::EqualNoCase(each.path, runningProgram)) {
            each.kind = ActionKind::kDeleteAtRestart;
        }
    }
}

}  // namespace

FolderCheck CheckInstallFolder(const char* value, const SystemFolders& folders, char* out,
                               size_t outSize) {
    if (outSize > 0) {
        out[0] = '\0';
    }
    char folder[kPathSize];
    if (!Normalize(value, folder, sizeof folder)) {
        return FolderCheck::kTooLong;
    }
    if (folder[0] == '\0') {
        return FolderCheck::kEmpty;
    }
    if (!IsDriveLetter(folder[0]) || folder[1] != ':' || folder[2] != '\\') {
        return FolderCheck::kNotAbsolute;
    }
    if (folder[3] == '\0') {
        return FolderCheck::kDriveRoot;
    }
    if (!EveryPartIsStoredAsGiven(folder)) {
        return FolderCheck::kBadName;
    }
    // Nothing of the system's lives in the product's folder: the uninstaller runs and deletes
    // fixed names in it, which in System32, SysWOW64 or Fonts are the system's own files.
    if (IsSameOrAbove(folder, folders.windows) || IsSameOrBelow(folder, folders.windows) ||
        IsSameOrAbove(folder, folders.system) || IsSameOrBelow(folder, folders.system)) {
        return FolderCheck::kSystemFolder;
    }
    for (const char* programFiles : folders.programFiles) {
        if (IsSameOrAbove(folder, programFiles)) {
            return FolderCheck::kProgramFiles;
        }
    }
    // Every path the plan builds in the folder must fit, or none is built.
    if (strlen(folder) + 1 + LongestEntryName() >= kPathSize || strlen(folder) >= outSize) {
        return FolderCheck::kTooLong;
    }
    text::Copy(out, outSize, folder);
    return FolderCheck::kOk;
}

FolderCheck CheckFolderOnDisk(const char* folder, const SystemFolders& folders,
                              FolderProbe& probe) {
    // Every part from the first below the drive down to the folder itself: a junction anywhere
    // on the way sends the deletions wherever it points.
    char part[kPathSize];
    if (!text::Copy(part, sizeof part, folder)) {
        return FolderCheck::kTooLong;
    }
    size_t length = strlen(part);
    for (size_t end = 3; end <= length; ++end) {
        if (end == length || part[end] == '\\') {
            char saved = part[end];
            part[end] = '\0';
            int reparse = probe.IsReparsePoint(part);
            part[end] = saved;
            if (reparse) {
                return FolderCheck::kReparsePoint;
            }
        }
    }
    // What the file system itself says the folder is, checked as the name was.
    char final[kPathSize];
    if (!probe.FinalFolderPath(folder, final, sizeof final)) {
        return FolderCheck::kOk;  // missing: there is nothing in it to delete
    }
    const char* resolved = final;
    if (strncmp(resolved, "\\\\?\\", 4) == 0) {
        resolved += 4;
    }
    char normal[kPathSize];
    FolderCheck again = CheckInstallFolder(resolved, folders, normal, sizeof normal);
    if (again != FolderCheck::kOk) {
        return again;
    }
    return text::EqualNoCase(normal, folder) ? FolderCheck::kOk : FolderCheck::kReparsePoint;
}

FolderCheck BuildPlan(const char* installFolderValue, const SystemFolders& folders,
                      const char* runningProgram, Plan* plan) {
    plan->count = 0;
    plan->tooLong = 0;
    FolderCheck check = CheckInstallFolder(installFolderValue, folders, plan->installFolder,
                                           sizeof plan->installFolder);
    if (check != FolderCheck::kOk) {
        return check;
    }
    PlanUnregistrations(plan, folders);
    PlanInstallFolderFiles(plan);
    PlanWindowsFolderFiles(plan, folders);
    PlanLinks(plan, folders);
    AddAction(plan, ActionKind::kRemoveEmptyFolder, Purpose::kFolder, plan->installFolder);
    // The entry in the list of installed programs, once what it points to is gone.
    char entry[kPathSize];
    snprintf(entry, sizeof entry, "HKEY_LOCAL_MACHINE\\%s", entries::kUninstallKey);
    Action* action =
        AddAction(plan, ActionKind::kRemoveRegistryEntry, Purpose::kRegistryEntry, entry);
    if (action != nullptr) {
        text::Copy(action->subject, sizeof action->subject, entries::kUninstallKey);
    }
    // Last, so that an uninstallation cut short can be run again: the folder is read from here.
    AddPathAction(plan, ActionKind::kDeleteFile, Purpose::kFile, folders.windows,
                  settings::kFileName);
    DeferRunningProgram(plan, runningProgram);
    return FolderCheck::kOk;
}

}  // namespace uninstall
