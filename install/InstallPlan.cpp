#include "install/InstallPlan.h"

#include "install/SystemFiles.h"

#include <cstdio>
#include <cstring>

#include "package/PayloadArchive.h"
#include "package/ResourceExtraction.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "platform/ProfileStore.h"
#include "platform/ProgressBar.h"
#include "platform/ResourceStore.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "records/InstallEntries.h"
#include "records/SettingsFile.h"
#include "records/SetupConfiguration.h"

namespace install {

namespace {

// Appends actions and remembers the first text that did not fit, so that planning reads as the
// sequence itself and the caller still learns why a plan is refused.
class Planner {
public:
    Planner(const InstallInputs& inputs, InstallPlan* plan) : in_(inputs), plan_(plan) {}

    PlanResult result() const { return result_; }

    InstallAction& Add(InstallStep step) {
        if (plan_->count >= kMaxInstallActions) {
            // Cannot happen with the fixed sequence; kept so that a longer one fails safely.
            Refuse(PlanResult::kInstallFolderTooLong);
            memset(&spare_, 0, sizeof spare_);
            return spare_;
        }
        InstallAction& action = plan_->actions[plan_->count++];
        memset(&action, 0, sizeof action);
        action.step = step;
        return action;
    }

    void Progress(int position) {
        InstallAction& action = Add(InstallStep::kSetProgress);
        action.window = in_.installDialog;
        action.number = position;
    }

    // dst = folder\name; a text that does not fit refuses the plan for the folder's reason.
    void Join(char* dst, size_t size, const char* folder, const char* name, PlanResult reason) {
        if (!path::Join(dst, size, folder, name)) {
            Refuse(reason);
        }
    }
    void InInstallFolder(char* dst, const char* name) {
        Join(dst, kInstallPathSize, in_.installFolder, name, PlanResult::kInstallFolderTooLong);
    }
    void InWindowsFolder(char* dst, const char* name) {
        Join(dst, kInstallPathSize, in_.windowsFolder, name, PlanResult::kWindowsFolderUnusable);
    }

    void CopyToWindowsFolder(const char* name, InstallStep step = InstallStep::kCopyFile) {
        InstallAction& action = Add(step);
        InInstallFolder(action.source, name);
        InWindowsFolder(action.path, name);
    }

    void Setting(const char* section, const char* key, const char* value, size_t limit) {
        InstallAction& action = Add(InstallStep::kWriteSetting);
        action.section = section;
        action.key = key;
        action.file = in_.configuration->settingsFileName;
        if (!text::Copy(action.text, limit, value)) {
            Refuse(PlanResult::kInstallFolderTooLong);
        }
    }

    void Refuse(PlanResult reason) {
        if (result_ == PlanResult::kOk) {
            result_ = reason;
        }
    }

private:
    const InstallInputs& in_;
    InstallPlan* plan_;
    PlanResult result_ = PlanResult::kOk;
    InstallAction spare_;
};

// The phases of the install sequence, in their order.

void CheckFolders(Planner& p, const InstallInputs& in) {
    if (in.windowsFolder[0] == '\0') {
        p.Refuse(PlanResult::kWindowsFolderUnusable);
    }
    if (in.systemFolder[0] == '\0') {
        p.Refuse(PlanResult::kSystemFolderUnusable);
    }
    // The archive and each of its entries are written as folder\name in kExtractPathSize.
    size_t folderLength = strlen(in.installFolder);
    size_t longestName = strlen(kArchiveResourceName);
    if (in.longestEntryName > longestName) {
        longestName = in.longestEntryName;
    }
    if (folderLength + 1 + longestName >= kExtractPathSize) {
        p.Refuse(PlanResult::kInstallFolderTooLong);
    }
}

void PlanExtraction(Planner& p, const InstallInputs& in) {
    InstallAction* action = &p.Add(InstallStep::kExtractResource);
    action->window = in.installDialog;
    action->resourceType = kPlainExtractType;
    action->resourceName = kArchiveResourceName;
    action->number = 20;
    action->start = 20;
    p.InInstallFolder(action->path, kArchiveResourceName);
    p.Progress(40);

    action = &p.Add(InstallStep::kExtractArchive);
    action->window = in.installDialog;
    action->resourceName = kArchiveResourceName;
    action->number = 30;
    action->start = 40;
    text::Copy(action->path, sizeof action->path, in.installFolder);
}

void PlanWindowsFolderCopies(Planner& p, const InstallInputs& in) {
    p.CopyToWindowsFolder(in.configuration->settingsFileName);
    p.CopyToWindowsFolder(entries::kUninstaller);
    // Other programs may rely on the copies of these two that are there already.
    for (const char* library : entries::kRuntimeLibraries) {
        p.CopyToWindowsFolder(library, InstallStep::kInstallSharedFile);
    }
}

// The old file goes first, so a failed copy leaves no stale font behind.
void PlanFont(Planner& p, const InstallInputs& in) {
    const char* font = in.configuration->fontFileName;
    char fontsFolder[kInstallPathSize];
    p.InWindowsFolder(fontsFolder, entries::kFontsFolder);
    InstallAction* action = &p.Add(InstallStep::kDeleteFile);
    p.Join(action->path, kInstallPathSize, fontsFolder, font, PlanResult::kWindowsFolderUnusable);
    p.Add(InstallStep::kWait).number = 200;
    action = &p.Add(InstallStep::kCopyFile);
    p.InInstallFolder(action->source, font);
    p.Join(action->path, kInstallPathSize, fontsFolder, font, PlanResult::kWindowsFolderUnusable);
    // A font only copied there is known to Windows after the next restart.
    InstallAction& registration = p.Add(InstallStep::kRegisterFont);
    text::Copy(registration.path, sizeof registration.path, action->path);
    registration.file = font;
}

// Written by bare name: they land in the copy just placed in the Windows directory.
void PlanSettings(Planner& p, const InstallInputs& in) {
    const SetupConfiguration& config = *in.configuration;
    char songFolder[kSongFolderSize];
    p.Join(songFolder, sizeof songFolder, in.installFolder, config.songsFolderName,
           PlanResult::kInstallFolderTooLong);
    p.Setting(settings::kOptionsSection, settings::kFirstTimeKey, "1", kInstallPathSize);
    p.Setting(settings::kPathSection, settings::kInstallPathKey, in.installFolder,
              kInstallPathSize);
    p.Setting(settings::kPathSection, settings::kServerPathKey, config.serverHost,
              kInstallPathSize);
    p.Setting(settings::kPathSection, settings::kSongFolderKey, songFolder, kSongFolderSize);
}

void PlanRegistrations(Planner& p, const InstallInputs& in) {
    // regsvr32 by its full path: by bare name the shell would also look in the current
    // directory and beside the setup, where a planted program would run instead.
    char registrationProgram[kInstallPathSize];
    p.Join(registrationProgram, sizeof registrationProgram, in.systemFolder,
           entries::kRegistrationProgram, PlanResult::kSystemFolderUnusable);
    for (const entries::Control& control : entries::kControls) {
        InstallAction* action = &p.Add(InstallStep::kStartProgram);
        action->window = control.ownedByDialog ? in.installDialog : nullptr;
        text::Copy(action->path, sizeof action->path, registrationProgram);
        // One quoted parameter, so that a folder with spaces stays one path.
        int written = snprintf(action->text, sizeof action->text, "/s \"%s\\%s\"", in.installFolder,
                               control.file);
        if (written < 0 || static_cast<size_t>(written) >= sizeof action->text) {
            action->text[0] = '\0';
            p.Refuse(PlanResult::kInstallFolderTooLong);
        }
    }
}

void PlanLastSteps(Planner& p, const InstallInputs& in) {
    p.InInstallFolder(p.Add(InstallStep::kDeleteFile).path, entries::kDeletedEntry);
    p.InInstallFolder(p.Add(InstallStep::kCreateEmptyFile).path, entries::kPlaylist);
    text::Copy(p.Add(InstallStep::kSetCurrentFolder).path, kInstallPathSize, in.installFolder);
    InstallAction& companion = p.Add(InstallStep::kStartProgram);
    companion.window = nullptr;
    p.InInstallFolder(companion.path, entries::kCompanion);
    p.Add(InstallStep::kRestoreCursor);
}

}  // namespace

PlanResult PlanInstallation(const InstallInputs& in, InstallPlan* plan) {
    plan->count = 0;
    Planner p(in, plan);
    // An existing folder is fine; one whose parent is missing makes the extraction fail.
    InstallAction& create = p.Add(InstallStep::kCreateFolder);
    if (!text::Copy(create.path, sizeof create.path, in.installFolder)) {
        p.Refuse(PlanResult::kInstallFolderTooLong);
    }
    p.Progress(0);
    PlanResult sequence = PlanInstallSequence(in, plan);
    return p.result() != PlanResult::kOk ? p.result() : sequence;
}

PlanResult PlanInstallSequence(const InstallInputs& in, InstallPlan* plan) {
    Planner p(in, plan);
    CheckFolders(p, in);
    p.Progress(10);
    PlanExtraction(p, in);
    p.Progress(70);
    PlanWindowsFolderCopies(p, in);
    PlanFont(p, in);
    p.Progress(80);
    PlanSettings(p, in);
    p.Add(InstallStep::kShowWaitCursor);
    p.Progress(90);
    PlanRegistrations(p, in);
    p.Progress(100);
    p.Add(InstallStep::kWait).number = 200;
    PlanLastSteps(p, in);
    return p.result();
}

namespace {

// Carries out one action of the plan; 0 only when the archive extraction failed.
int RunAction(const InstallAction& a, Platform& platform, CursorHandle* keptCursor) {
    switch (a.step) {
        case InstallStep::kCreateFolder:
            platform.files->CreateFolder(a.path);
            break;
        case InstallStep::kSetProgress:
            SendProgress(*platform.progress, a.window, a.number);
            break;
        case InstallStep::kExtractResource:
            // Not examined: without the file the archive extraction fails and says so.
            ExtractResourceToFile(platform, a.path, a.resourceType, a.resourceName, a.window,
                                  static_cast<unsigned>(a.number), a.start);
            break;
        case InstallStep::kExtractArchive:
            if (!ExtractPayloadArchive(platform, a.window, a.path, a.resourceName, a.number,
                                       a.start)) {
                return 0;
            }
            break;
        case InstallStep::kCopyFile:
            platform.files->Copy(a.source, a.path);
            break;
        case InstallStep::kDeleteFile:
            platform.files->Delete(a.path);
            break;
        case InstallStep::kWait:
            platform.system->Sleep(static_cast<unsigned>(a.number));
            break;
        case InstallStep::kWriteSetting:
            platform.profile->WriteString(a.section, a.key, a.text, a.file);
            break;
        case InstallStep::kShowWaitCursor:
            *keptCursor = platform.system->ShowWaitCursor();
            break;
        case InstallStep::kRestoreCursor:
            platform.system->SetCursor(*keptCursor);
            break;
        case InstallStep::kStartProgram:
            platform.shell->OpenHidden(a.window, a.path, a.text[0] != '\0' ? a.text : nullptr);
            break;
        case InstallStep::kCreateEmptyFile: {
            std::unique_ptr<WriteStream> file = platform.files->Create(a.path);
            if (file) {
                file->Close();
            }
            break;
        }
        case InstallStep::kSetCurrentFolder:
            platform.files->SetCurrentFolder(a.path);
            break;
        case InstallStep::kInstallSharedFile:
            InstallSharedFile(platform, a.source, a.path);
            break;
        case InstallStep::kRegisterFont:
            RegisterFont(platform, a.path, a.file);
            break;
    }
    return 1;
}

}  // namespace

int RunInstallPlan(const InstallPlan& plan, Platform& platform) {
    CursorHandle keptCursor = nullptr;
    for (int i = 0; i < plan.count; ++i) {
        if (!RunAction(plan.actions[i], platform, &keptCursor)) {
            return 0;
        }
    }
    return 1;
}

}  // namespace install
