// The path composers on long and odd folders: install folder normalisation, the install plan and
// the shortcut plan. Every composed text stays terminated inside its buffer, a plan that is
// accepted only writes below the folders it was given, and the archive's entries fit the folder.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "install/InstallLocation.h"
#include "install/InstallPlan.h"
#include "install/Shortcuts.h"
#include "package/PayloadArchive.h"
#include "records/SetupConfiguration.h"
#include "records/SetupState.h"

namespace {

bool Terminated(const char* text, size_t size) {
    return memchr(text, '\0', size) != nullptr;
}

bool StartsWith(const char* text, const char* prefix) {
    return prefix[0] != '\0' && strncmp(text, prefix, strlen(prefix)) == 0;
}

// Copies a field into a buffer of size bytes, cut to fit (the setup's own texts always fit).
void Fill(char* out, size_t size, const std::string& field) {
    snprintf(out, size, "%s", field.c_str());
}

void CheckNormalise(const std::string& field, size_t size) {
    std::vector<char> folder(size + 8, '\x7f');
    Fill(folder.data(), size, field);
    std::string before = folder.data();
    NormaliseInstallFolder(folder.data(), size);
    FUZZ_CHECK(Terminated(folder.data(), size), "normalised folder runs past its buffer");
    FUZZ_CHECK(folder[size] == '\x7f', "normalisation wrote past the buffer");
    // The folder keeps its own text (upper-cased, one trailing backslash less) as the prefix.
    size_t kept = before.size();
    if (kept > 0 && before[kept - 1] == '\\') {
        --kept;
    }
    FUZZ_CHECK(strncasecmp(folder.data(), before.c_str(), kept) == 0, before);
}

void CheckInstallPlan(const install::InstallInputs& inputs) {
    static install::InstallPlan plan;
    install::PlanResult result = install::PlanInstallation(inputs, &plan);
    FUZZ_CHECK(plan.count >= 0 && plan.count <= install::kMaxInstallActions,
               std::to_string(plan.count));
    for (int i = 0; i < plan.count; ++i) {
        const install::InstallAction& action = plan.actions[i];
        FUZZ_CHECK(Terminated(action.path, sizeof action.path), "path");
        FUZZ_CHECK(Terminated(action.source, sizeof action.source), "source");
        FUZZ_CHECK(Terminated(action.text, sizeof action.text), "text");
    }
    if (result != install::PlanResult::kOk) {
        return;
    }
    // The extraction writes folder\name for every entry into a buffer of kExtractPathSize.
    FUZZ_CHECK(strlen(inputs.installFolder) + 1 + inputs.longestEntryName < kExtractPathSize,
               inputs.installFolder);
    for (int i = 0; i < plan.count; ++i) {
        const install::InstallAction& action = plan.actions[i];
        switch (action.step) {
            case install::InstallStep::kCreateFolder:
            case install::InstallStep::kExtractResource:
            case install::InstallStep::kExtractArchive:
            case install::InstallStep::kCopyFile:
            case install::InstallStep::kInstallSharedFile:
            case install::InstallStep::kRegisterFont:
            case install::InstallStep::kDeleteFile:
            case install::InstallStep::kCreateEmptyFile:
            case install::InstallStep::kSetCurrentFolder:
            case install::InstallStep::kStartProgram:
                FUZZ_CHECK(StartsWith(action.path, inputs.installFolder) ||
                               StartsWith(action.path, inputs.windowsFolder) ||
                               StartsWith(action.path, inputs.systemFolder),
                           action.path);
                break;
            default:
                break;
        }
        if (action.step == install::InstallStep::kCopyFile ||
            action.step == install::InstallStep::kInstallSharedFile) {
            FUZZ_CHECK(StartsWith(action.source, inputs.installFolder) ||
                           StartsWith(action.source, inputs.windowsFolder),
                       action.source);
        }
    }
}

void CheckShortcutPlan(const ShortcutInputs& inputs) {
    static ShortcutPlan plan;
    PlanShortcuts(inputs, &plan);
    FUZZ_CHECK(plan.count >= 0 && plan.count <= kMaxShortcutActions, std::to_string(plan.count));
    const ShellFolders& folders = *inputs.folders;
    for (int i = 0; i < plan.count; ++i) {
        const ShortcutAction& action = plan.actions[i];
        FUZZ_CHECK(Terminated(action.path, sizeof action.path), "link path");
        FUZZ_CHECK(StartsWith(action.path, folders.desktop) ||
                       StartsWith(action.path, folders.sendTo) ||
                       StartsWith(action.path, folders.startMenu) ||
                       StartsWith(action.path, folders.programs),
                   action.path);
        if (action.step == ShortcutStep::kMakeLink) {
            FUZZ_CHECK(Terminated(action.target, sizeof action.target), "link target");
            FUZZ_CHECK(StartsWith(action.target, inputs.installFolder) ||
                           StartsWith(action.target, inputs.windowsFolder),
                       action.target);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // Two bytes: the longest entry name and whether desktop links are wanted; then the install,
    // Windows and system folders, the four shell folders and a program group name, one a line.
    size_t longest = data[0] | (data[1] & 0x03) << 8;
    bool wantDesktop = (data[1] & 0x80) != 0;
    std::vector<std::string> fields = SplitFields(data + 2, size - 2, '\n', 8);

    CheckNormalise(fields[0], kFolderTextSize);
    CheckNormalise(fields[0], kInstallFolderSize);
    CheckNormalise(fields[0], 1);

    static char installFolder[kInstallFolderSize];
    Fill(installFolder, sizeof installFolder, fields[0]);
    NormaliseInstallFolder(installFolder, kFolderTextSize);
    static char windowsFolder[kWindowsFolderSize];
    Fill(windowsFolder, sizeof windowsFolder, fields[1]);
    static char systemFolder[kWindowsFolderSize];
    Fill(systemFolder, sizeof systemFolder, fields[2]);

    install::InstallInputs inputs = {reinterpret_cast<WindowHandle>(0xD1A),
                                     installFolder,
                                     windowsFolder,
                                     systemFolder,
                                     longest,
                                     &kSetupConfiguration};
    CheckInstallPlan(inputs);

    // Shortcuts are made only after an installation, which refuses an empty Windows folder.
    if (windowsFolder[0] == '\0') {
        Fill(windowsFolder, sizeof windowsFolder, "C:\\WINDOWS");
    }
    static ShellFolders folders;
    Fill(folders.desktop, sizeof folders.desktop, fields[3]);
    Fill(folders.sendTo, sizeof folders.sendTo, fields[4]);
    Fill(folders.startMenu, sizeof folders.startMenu, fields[5]);
    Fill(folders.programs, sizeof folders.programs, fields[6]);
    // The shipped table, and one whose group name comes from the input.
    static ShortcutTable table;
    table = kSetupConfiguration.shortcuts;
    ShortcutInputs shortcuts = {&kSetupConfiguration.shortcuts, wantDesktop, installFolder,
                                windowsFolder, &folders};
    CheckShortcutPlan(shortcuts);
    Fill(table.programsFolderName, sizeof table.programsFolderName, fields[7]);
    shortcuts.table = &table;
    CheckShortcutPlan(shortcuts);
    return 0;
}
