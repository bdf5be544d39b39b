// Carrying out the uninstaller's plan and reporting what stayed.
#include "payload/uninstall/UninstallRun.h"

#include <cstdio>
#include <cstring>

#include "payload/common/RegistryAccess.h"
#include "records/InstallEntries.h"
#include "records/StringKeys.h"

namespace uninstall {

namespace {

const Texts kItalian = {
    "Disinstallazione di ZarBelPC",
    "Vuoi rimuovere ZarBelPC e tutti i suoi componenti?\n"
    "Le canzoni nella cartella SONGS non verranno cancellate.",
    "ZarBelPC \xE8 stato rimosso.",
    "ZarBelPC \xE8 stato rimosso, ma questi elementi sono rimasti:",
    "Nessun file \xE8 stato rimosso: la cartella di installazione letta da ZarBelPC.INI non "
    "\xE8 valida",
    {
        "",
        "manca il valore PATH/Installpath",
        "non \xE8 un percorso completo su un'unit\xE0",
        "\xE8 la radice di un'unit\xE0",
        "\xE8 una cartella di sistema",
        "contiene nomi non validi",
        "\xE8 troppo lunga",
        "\xE8 una cartella dei programmi",
        "passa per una giunzione o un collegamento simbolico",
    },
    "Non rimosso:",
    "Cartella non vuota, mantenuta:",
    "Sar\xE0 rimosso al prossimo riavvio:",
    "Registrazione non rimossa:",
    "Impossibile rimuovere le associazioni dei file:",
    "%d percorsi troppo lunghi non sono stati rimossi",
    "Non avviato, la cartella pu\xF2 essere modificata da utenti non amministratori; "
    "registrazione mantenuta:",
};

const Texts kEnglish = {
    "ZarBelPC Uninstall",
    "Do you want to remove ZarBelPC and all of its components?\n"
    "The songs in the SONGS folder are kept.",
    "ZarBelPC has been removed.",
    "ZarBelPC has been removed, but these items were left:",
    "Nothing was removed: the install folder read from ZarBelPC.INI is not valid",
    {
        "",
        "the PATH/Installpath value is missing",
        "it is not a full path on a drive",
        "it is the root of a drive",
        "it is a system folder",
        "it holds invalid names",
        "it is too long",
        "it is a Program Files folder",
        "it passes through a junction or symbolic link",
    },
    "Not removed:",
    "Folder not empty, kept:",
    "Removed at the next restart:",
    "Registration not removed:",
    "Could not remove the file associations:",
    "%d paths too long to handle were not removed",
    "Not started, as users other than administrators can change its folder; registration kept:",
};

void AddLine(Report* report, const char* label, const char* path) {
    char line[kPathSize + 96];
    snprintf(line, sizeof line, "%s %s\n", label, path);
    // Room is kept for the mark that says lines are missing.
    if (!text::Append(report->text, sizeof report->text - 8, line)) {
        ++report->truncated;
    }
}

}  // namespace

Outcome RemoveEntryValues(RegistryAccess& registry, const char* key) {
    for (const char* value : entries::kUninstallValues) {
        registry.DeleteValue(RegistryRoot::kLocalMachine, key, value);
    }
    return registry.DeleteKeyIfEmpty(RegistryRoot::kLocalMachine, key) ? Outcome::kDone
                                                                       : Outcome::kFailed;
}

SharedRelease ReleaseSharedCount(RegistryAccess& registry, const char* path) {
    uint32_t count = 0;
    if (!registry.ReadNumber(RegistryRoot::kLocalMachine, entries::kSharedDllsKey, path, &count)) {
        return SharedRelease::kNoCount;
    }
    if (count > 1) {
        return registry.WriteNumber(RegistryRoot::kLocalMachine, entries::kSharedDllsKey, path,
                                    count - 1)
                   ? SharedRelease::kKeepFile
                   : SharedRelease::kFailed;
    }
    return registry.DeleteValue(RegistryRoot::kLocalMachine, entries::kSharedDllsKey, path)
               ? SharedRelease::kDeleteFile
               : SharedRelease::kFailed;
}

int RemoveFontValue(RegistryAccess& registry, const char* fullName, const char* fileName) {
    char value[kPathSize];
    if (snprintf(value, sizeof value, "%s%s", fullName, entries::kTrueTypeSuffix) >=
        static_cast<int>(sizeof value)) {
        return 0;
    }
    char data[kPathSize];
    if (!registry.ReadString(RegistryRoot::kLocalMachine, entries::kFontsKey, value, data,
                             sizeof data)) {
        return 1;
    }
    // Another font installed under the same name since is not ours to take off the list.
    if (!text::EqualNoCase(data, fileName)) {
        return 1;
    }
    return registry.DeleteValue(RegistryRoot::kLocalMachine, entries::kFontsKey, value);
}

const Texts& TextsFor(const char* language) {
    return (language != nullptr && text::EqualNoCase(language, languages::kItaliano)) ? kItalian
                                                                                      : kEnglish;
}

namespace {

// One run of the plan: where its actions go and what they leave behind.
struct Execution {
    UninstallSystem& system;
    const Texts& texts;
    Report* report;
    int folderWritable;

    void Fail(const char* label, const char* path) {
        ++report->failures;
        AddLine(report, label, path);
    }
};

void RunProgram(Execution& run, const Action& action) {
    // Nothing to unregister when the file is gone already.
    if (!run.system.FileExists(action.subject)) {
        return;
    }
    // regsvr32 loads the control into itself and assocset is ours: either could have been
    // replaced by any user of a folder they can write.
    if (run.folderWritable || run.system.WritableByOthers(action.subject)) {
        run.Fail(run.texts.notRunWritable, action.subject);
        return;
    }
    if (run.system.RunAndWait(action.path, action.commandLine) != Outcome::kDone) {
        run.Fail(action.purpose == Purpose::kUnregisterControl ? run.texts.notUnregistered
                                                               : run.texts.associationsLeft,
                 action.subject);
    }
}

void RemovePlannedFile(Execution& run, const Action& action) {
    Outcome outcome = run.system.RemoveFile(action.path);
    if (outcome == Outcome::kFailed || outcome == Outcome::kNotEmpty) {
        run.Fail(run.texts.notRemoved, action.path);
    }
}

void ScheduleDeletion(Execution& run, const Action& action) {
    Outcome outcome = run.system.DeleteAtRestart(action.path);
    if (outcome == Outcome::kScheduled) {
        ++run.report->scheduled;
        AddLine(run.report, run.texts.atRestart, action.path);
    } else if (outcome != Outcome::kDone && outcome != Outcome::kAbsent) {
        run.Fail(run.texts.notRemoved, action.path);
    }
}

void RemoveFolder(Execution& run, const Action& action) {
    Outcome outcome = run.system.RemoveEmptyFolder(action.path);
    if (outcome == Outcome::kNotEmpty) {
        ++run.report->kept;
        AddLine(run.report, run.texts.keptFolder, action.path);
    } else if (outcome == Outcome::kFailed) {
        run.Fail(run.texts.notRemoved, action.path);
    }
}

void ReleaseSharedFile(Execution& run, const Action& action) {
    SharedRelease release = ReleaseSharedCount(run.system.Registry(), action.path);
    Outcome outcome = Outcome::kDone;
    if (release == SharedRelease::kDeleteFile) {
        outcome = run.system.RemoveFile(action.path);
    }
    if (release == SharedRelease::kFailed || outcome == Outcome::kFailed) {
        run.Fail(run.texts.notRemoved, action.path);
    }
}

void UnregisterFont(Execution& run, const Action& action) {
    if (!run.system.FileExists(action.path)) {
        return;
    }
    const char* separator = strrchr(action.path, '\\');
    char fullName[kPathSize];
    if (run.system.FontFullName(action.path, fullName, sizeof fullName) &&
        !RemoveFontValue(run.system.Registry(), fullName, separator + 1)) {
        run.Fail(run.texts.notRemoved, fullName);
    }
    run.system.UnloadFont(action.path);
}

void RemoveRegistryEntry(Execution& run, const Action& action) {
    Outcome outcome = run.system.RemoveUninstallEntry(action.subject);
    if (outcome != Outcome::kDone && outcome != Outcome::kAbsent) {
        run.Fail(run.texts.notRemoved, action.path);
    }
}

void ExecuteAction(Execution& run, const Action& action) {
    switch (action.kind) {
        case ActionKind::kRunAndWait:
            RunProgram(run, action);
            break;
        case ActionKind::kDeleteFile:
            RemovePlannedFile(run, action);
            break;
        case ActionKind::kDeleteAtRestart:
            ScheduleDeletion(run, action);
            break;
        case ActionKind::kRemoveEmptyFolder:
            RemoveFolder(run, action);
            break;
        case ActionKind::kReleaseSharedFile:
            ReleaseSharedFile(run, action);
            break;
        case ActionKind::kUnregisterFont:
            UnregisterFont(run, action);
            break;
        case ActionKind::kRemoveRegistryEntry:
            RemoveRegistryEntry(run, action);
            break;
    }
}

}  // namespace

void ExecutePlan(const Plan& plan, UninstallSystem& system, const Texts& texts, Report* report) {
    memset(report, 0, sizeof *report);
    // Asked once: the folder whose programs and controls would run with our rights.
    Execution run = {system, texts, report, system.WritableByOthers(plan.installFolder)};
    for (int i = 0; i < plan.count; ++i) {
        ExecuteAction(run, plan.actions[i]);
    }
    if (plan.tooLong > 0) {
        char line[128];
        snprintf(line, sizeof line, texts.tooLong, plan.tooLong);
        report->failures += plan.tooLong;
        AddLine(report, line, "");
    }
    if (report->truncated > 0) {
        text::Append(report->text, sizeof report->text, "...\n");
    }
}

void ComposeSummary(const Report& report, const Texts& texts, char* out, size_t outSize) {
    if (outSize == 0) {
        return;
    }
    int clean = report.failures == 0 && report.kept == 0 && report.scheduled == 0;
    snprintf(out, outSize, "%s\n%s", clean ? texts.removed : texts.removedButLeft,
             clean ? "" : report.text);
}

void ComposeRefusal(FolderCheck check, const char* value, const Texts& texts, char* out,
                    size_t outSize) {
    if (outSize == 0) {
        return;
    }
    int reason = static_cast<int>(check);
    if (reason < 0 || reason >= kFolderCheckCount) {
        reason = 0;
    }
    snprintf(out, outSize, "%s (%s):\n\"%s\"", texts.refused, texts.reasons[reason], value);
}

}  // namespace uninstall
