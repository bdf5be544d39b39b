#include "payload/uninstall/UninstallRun.h"

#include "payload/uninstall/FolderAccess.h"

#include "payload/tests/FakeRegistry.h"
#include "records/InstallEntries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using uninstall::Outcome;

// Names compare without regard to ASCII case, as on the Windows file system.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) {
                                                return std::tolower(static_cast<unsigned char>(x)) <
                                                       std::tolower(static_cast<unsigned char>(y));
                                            });
    }
};

// Files and folders of a pretend disk, and a log of every call.
class FakeSystem : public uninstall::UninstallSystem {
public:
    int FileExists(const char* path) override { return files.count(path) != 0; }
    Outcome RunAndWait(const char* program, const char* commandLine) override {
        calls.push_back(std::string("run ") + commandLine);
        return failingRuns.count(program) ? Outcome::kFailed : Outcome::kDone;
    }
    Outcome RemoveFile(const char* path) override {
        calls.push_back(std::string("delete ") + path);
        if (locked.count(path)) {
            return Outcome::kFailed;
        }
        return files.erase(path) ? Outcome::kDone : Outcome::kAbsent;
    }
    Outcome DeleteAtRestart(const char* path) override {
        calls.push_back(std::string("later ") + path);
        return files.count(path) ? Outcome::kScheduled : Outcome::kAbsent;
    }
    Outcome RemoveEmptyFolder(const char* path) override {
        calls.push_back(std::string("rmdir ") + path);
        std::string prefix = std::string(path) + "\\";
        for (const std::string& file : files) {
            if (file.rfind(prefix, 0) == 0) {
                return Outcome::kNotEmpty;
            }
        }
        return Outcome::kDone;
    }
    Outcome RemoveUninstallEntry(const char* key) override {
        calls.push_back(std::string("unregister ") + key);
        return uninstall::RemoveEntryValues(registry, key);
    }
    int IsReparsePoint(const char*) override { return 0; }
    int FinalFolderPath(const char*, char*, size_t) override { return 0; }
    int WritableByOthers(const char* path) override { return writable.count(path) != 0; }
    RegistryAccess& Registry() override { return registry; }
    int FontFullName(const char* path, char* out, size_t outSize) override {
        return files.count(path) && text::Copy(out, outSize, fontName.c_str());
    }
    void UnloadFont(const char* path) override {
        calls.push_back(std::string("unload font ") + path);
    }

    std::set<std::string, NoCaseLess> files;
    FakeRegistry registry;
    std::set<std::string, NoCaseLess> locked;
    std::set<std::string> failingRuns;
    std::set<std::string, NoCaseLess> writable;
    std::string fontName = "DejaVu Sans Bold";
    std::vector<std::string> calls;
};

const char* const kEntryKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZarBelPC";
const char* const kSharedKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char* const kFontsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

const uninstall::SystemFolders kFolders = {"C:\\windows",    "C:\\windows\\system32",
                                           "C:\\Desktop",    "C:\\SendTo",
                                           "C:\\Start Menu", "C:\\Start Menu\\Programs"};

struct Fixture {
    std::unique_ptr<uninstall::Plan> plan = std::make_unique<uninstall::Plan>();
    std::unique_ptr<uninstall::Report> report = std::make_unique<uninstall::Report>();
    FakeSystem system;

    // Everything the setup leaves behind, plus a song of the user.
    void Install() {
        for (const char* entry : uninstall::kPayloadEntries) {
            if (std::string(entry) != "movefile.bat") {
                system.files.insert(std::string("C:\\ZarbelPC\\") + entry);
            }
        }
        system.files.insert("C:\\ZarbelPC\\DefaultPlaylist.pls");
        system.files.insert("C:\\windows\\ZarBelPC_uninstall.exe");
        system.files.insert("C:\\windows\\mfc71.dll");
        system.files.insert("C:\\windows\\msvcr71.dll");
        system.files.insert("C:\\windows\\FONTS\\EUROSTIB.TTF");
        system.files.insert("C:\\windows\\ZarBelPC.INI");
        system.files.insert("C:\\Desktop\\ZarbelPC.lnk");
        system.files.insert("C:\\SendTo\\ZarbelPC.lnk");
        system.files.insert("C:\\Start Menu\\ZarbelPC.lnk");
        system.files.insert("C:\\Start Menu\\Programs\\ZarbelPC\\ZarbelPC.lnk");
        system.files.insert("C:\\Start Menu\\Programs\\ZarbelPC\\Uninstall ZarbelPC.lnk");
        // Counted and listed as the setup counts and lists them.
        system.registry.WriteNumber(RegistryRoot::kLocalMachine, kSharedKey,
                                    "C:\\windows\\mfc71.dll", 1);
        system.registry.WriteNumber(RegistryRoot::kLocalMachine, kSharedKey,
                                    "C:\\windows\\msvcr71.dll", 1);
        system.registry.WriteString(RegistryRoot::kLocalMachine, kFontsKey,
                                    "DejaVu Sans Bold (TrueType)", "EUROSTIB.TTF");
        // The entry in the list of installed programs, with the values the setup writes.
        for (const char* value : entries::kUninstallValues) {
            system.registry.WriteString(RegistryRoot::kLocalMachine, kEntryKey, value, "x");
        }
    }
    void Run(const char* running = "") {
        ASSERT_EQ(uninstall::FolderCheck::kOk,
                  uninstall::BuildPlan("C:\\ZarbelPC", kFolders, running, plan.get()));
        uninstall::ExecutePlan(*plan, system, uninstall::TextsFor("ENGLISH"), report.get());
    }
};

TEST(UninstallRun, RemovesAnInstallationAndKeepsTheSongs) {
    Fixture fixture;
    fixture.Install();
    fixture.system.files.insert("C:\\ZarbelPC\\SONGS\\Volare.kar");
    fixture.Run("C:\\windows\\ZarBelPC_uninstall.exe");

    // The running uninstaller waits for the restart; the song is the only other file left.
    EXPECT_EQ((std::set<std::string, NoCaseLess>{"C:\\ZarbelPC\\SONGS\\Volare.kar",
                                                 "C:\\windows\\ZarBelPC_uninstall.exe"}),
              fixture.system.files);
    EXPECT_EQ(0, fixture.report->failures);
    EXPECT_EQ(1, fixture.report->kept);
    EXPECT_EQ(1, fixture.report->scheduled);
    EXPECT_NE(nullptr, strstr(fixture.report->text, "Folder not empty, kept: C:\\ZarbelPC\n"));
    EXPECT_NE(nullptr, strstr(fixture.report->text,
                              "Removed at the next restart: C:\\windows\\ZarBelPC_uninstall.exe"));
    // Seven programs ran, the controls before the companion, all before any deletion.
    ASSERT_GE(fixture.system.calls.size(), 8u);
    EXPECT_EQ("run \"C:\\windows\\system32\\regsvr32.exe\" /u /s \"C:\\ZarbelPC\\COMDLG32.OCX\"",
              fixture.system.calls[0]);
    EXPECT_EQ("run \"C:\\ZarbelPC\\assocset.exe\" /u", fixture.system.calls[6]);
    EXPECT_EQ("delete ", fixture.system.calls[7].substr(0, 7));
    // The entry in the list of installed programs goes with the rest, before the settings file
    // that a second run would need.
    EXPECT_FALSE(fixture.system.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey));
    ASSERT_GE(fixture.system.calls.size(), 2u);
    EXPECT_EQ(std::string("unregister ") + kEntryKey,
              fixture.system.calls[fixture.system.calls.size() - 2]);
    EXPECT_EQ("delete C:\\windows\\ZarBelPC.INI", fixture.system.calls.back());
    // The counts and the font's entry went with their files; the font was unloaded first.
    EXPECT_EQ("<none>", fixture.system.registry.Value(RegistryRoot::kLocalMachine, kSharedKey,
                                                      "C:\\windows\\mfc71.dll"));
    EXPECT_EQ("<none>", fixture.system.registry.Value(RegistryRoot::kLocalMachine, kFontsKey,
                                                      "DejaVu Sans Bold (TrueType)"));
    const auto& calls = fixture.system.calls;
    auto unload =
        std::find(calls.begin(), calls.end(), "unload font C:\\windows\\FONTS\\EUROSTIB.TTF");
    ASSERT_NE(calls.end(), unload);
    EXPECT_EQ("delete C:\\windows\\FONTS\\EUROSTIB.TTF", *(unload + 1));
}

// A library goes only with the last count on it; one nobody counted stays.
TEST(UninstallRun, SharedLibrariesGoWithTheirLastCountOnly) {
    struct Row {
        const char* count;  // "" for no value
        const char* after;
        bool stays;
    };
    const Row rows[] = {
        {"#dword:1", "<none>", false},
        {"#dword:3", "#dword:2", true},
        {"", "<none>", true},
        {"#dword:0", "<none>", false},  // a count already used up: nobody else relies on it
    };
    for (const Row& row : rows) {
        Fixture fixture;
        fixture.Install();
        const char* mfc = "C:\\windows\\mfc71.dll";
        fixture.system.registry.DeleteValue(RegistryRoot::kLocalMachine, kSharedKey, mfc);
        if (row.count[0] != '\0') {
            fixture.system.registry.WriteString(RegistryRoot::kLocalMachine, kSharedKey, mfc,
                                                row.count);
        }
        fixture.Run();
        EXPECT_EQ(row.after,
                  fixture.system.registry.Value(RegistryRoot::kLocalMachine, kSharedKey, mfc))
            << row.count;
        EXPECT_EQ(row.stays, fixture.system.files.count(mfc) == 1) << row.count;
        EXPECT_EQ(0, fixture.system.files.count("C:\\windows\\msvcr71.dll")) << row.count;
        EXPECT_EQ(0, fixture.report->failures) << row.count;
    }
}

// The font's entry goes only while it names our file: another font of that name keeps it.
TEST(UninstallRun, AFontEntryOfAnotherFileIsLeft) {
    Fixture fixture;
    fixture.Install();
    fixture.system.registry.WriteString(RegistryRoot::kLocalMachine, kFontsKey,
                                        "DejaVu Sans Bold (TrueType)", "DejaVuSans-Bold.ttf");
    fixture.Run();
    EXPECT_EQ("DejaVuSans-Bold.ttf",
              fixture.system.registry.Value(RegistryRoot::kLocalMachine, kFontsKey,
                                            "DejaVu Sans Bold (TrueType)"));
    EXPECT_EQ(0, fixture.report->failures);
    EXPECT_EQ(0, fixture.system.files.count("C:\\windows\\FONTS\\EUROSTIB.TTF"));
}

// A folder other users can write: nothing of it is loaded or started, the rest goes.
TEST(UninstallRun, NothingRunsFromAFolderOthersCanWrite) {
    for (const char* writable : {"C:\\ZarbelPC", "C:\\ZarbelPC\\TuneChooser.ocx"}) {
        Fixture fixture;
        fixture.Install();
        fixture.system.writable.insert(writable);
        fixture.Run();
        int runs = 0;
        for (const std::string& call : fixture.system.calls) {
            runs += call.rfind("run ", 0) == 0;
        }
        const bool wholeFolder = std::string(writable) == "C:\\ZarbelPC";
        EXPECT_EQ(wholeFolder ? 0 : 6, runs) << writable;
        EXPECT_EQ(wholeFolder ? 7 : 1, fixture.report->failures) << writable;
        EXPECT_NE(nullptr, strstr(fixture.report->text,
                                  "Not started, as users other than administrators can change "
                                  "its folder; registration kept: C:\\ZarbelPC\\TuneChooser.ocx"))
            << writable;
        EXPECT_TRUE(fixture.system.files.empty()) << writable;
    }
}

// Only the values the setup writes go: a key that holds more is left, and the report says so.
TEST(UninstallRun, AnEntryWithValuesOfOthersIsKeptAndReported) {
    Fixture fixture;
    fixture.Install();
    fixture.system.registry.WriteString(RegistryRoot::kLocalMachine, kEntryKey, "Comments",
                                        "written by someone else");
    fixture.Run();
    EXPECT_TRUE(fixture.system.registry.HasKey(RegistryRoot::kLocalMachine, kEntryKey));
    EXPECT_EQ("written by someone else",
              fixture.system.registry.Value(RegistryRoot::kLocalMachine, kEntryKey, "Comments"));
    EXPECT_EQ("<none>", fixture.system.registry.Value(RegistryRoot::kLocalMachine, kEntryKey,
                                                      "UninstallString"));
    EXPECT_EQ(1, fixture.report->failures);
    EXPECT_NE(nullptr, strstr(fixture.report->text,
                              "Not removed: HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                              "CurrentVersion\\Uninstall\\ZarBelPC\n"));
}

TEST(UninstallRun, SkipsProgramsWhoseFilesAreGoneAndReportsFailedOnes) {
    Fixture fixture;
    fixture.Install();
    fixture.system.files.erase("C:\\ZarbelPC\\MSINET.OCX");
    fixture.system.failingRuns.insert("C:\\ZarbelPC\\assocset.exe");
    fixture.Run();
    for (const std::string& call : fixture.system.calls) {
        EXPECT_EQ(std::string::npos, call.find("/u /s \"C:\\ZarbelPC\\MSINET.OCX\"")) << call;
    }
    EXPECT_EQ(1, fixture.report->failures);
    EXPECT_NE(nullptr,
              strstr(fixture.report->text,
                     "Could not remove the file associations: C:\\ZarbelPC\\assocset.exe"));
}

TEST(UninstallRun, ReportsFilesThatCouldNotBeDeleted) {
    Fixture fixture;
    fixture.Install();
    fixture.system.locked.insert("C:\\windows\\FONTS\\EUROSTIB.TTF");
    fixture.system.locked.insert("C:\\ZarbelPC\\ZarBelPC.EXE");
    fixture.Run();
    EXPECT_EQ(2, fixture.report->failures);
    EXPECT_NE(nullptr,
              strstr(fixture.report->text, "Not removed: C:\\windows\\FONTS\\EUROSTIB.TTF"));
    EXPECT_NE(nullptr, strstr(fixture.report->text, "Not removed: C:\\ZarbelPC\\ZarBelPC.EXE"));
    // The locked program keeps the folder.
    EXPECT_EQ(1, fixture.report->kept);
    char summary[uninstall::kReportSize + 256];
    uninstall::ComposeSummary(*fixture.report, uninstall::TextsFor("ENGLISH"), summary,
                              sizeof summary);
    EXPECT_EQ(0, strncmp(summary, "ZarBelPC has been removed, but these items were left:\n", 54));
}

TEST(UninstallRun, AFullRemovalSaysSoInItalian) {
    Fixture fixture;
    fixture.Install();
    ASSERT_EQ(uninstall::FolderCheck::kOk,
              uninstall::BuildPlan("C:\\ZarbelPC", kFolders, "", fixture.plan.get()));
    const uninstall::Texts& italian = uninstall::TextsFor("ITALIANO");
    uninstall::ExecutePlan(*fixture.plan, fixture.system, italian, fixture.report.get());
    EXPECT_TRUE(fixture.system.files.empty());
    EXPECT_STREQ("", fixture.report->text);
    char summary[256];
    uninstall::ComposeSummary(*fixture.report, italian, summary, sizeof summary);
    EXPECT_STREQ("ZarBelPC \xE8 stato rimosso.\n", summary);
}

TEST(UninstallRun, AReportTooLongForItsBufferIsCutAndMarked) {
    Fixture fixture;
    fixture.plan->count = uninstall::kMaxActions;
    fixture.plan->tooLong = 0;
    for (int i = 0; i < uninstall::kMaxActions; ++i) {
        uninstall::Action& action = fixture.plan->actions[i];
        action.kind = uninstall::ActionKind::kDeleteFile;
        std::string path = "C:\\" + std::string(200, 'a' + i % 26) + std::to_string(i);
        strcpy(action.path, path.c_str());
        fixture.system.locked.insert(path);
    }
    uninstall::ExecutePlan(*fixture.plan, fixture.system, uninstall::TextsFor(""),
                           fixture.report.get());
    EXPECT_EQ(uninstall::kMaxActions, fixture.report->failures);
    EXPECT_GT(fixture.report->truncated, 0);
    const std::string text = fixture.report->text;
    EXPECT_LT(text.size(), uninstall::kReportSize);
    EXPECT_EQ("...\n", text.substr(text.size() - 4));

    char summary[300];
    uninstall::ComposeSummary(*fixture.report, uninstall::TextsFor(""), summary, sizeof summary);
    EXPECT_EQ(299u, strlen(summary));
}

TEST(UninstallRun, RefusalNamesTheReasonAndTheValue) {
    char message[512];
    uninstall::ComposeRefusal(uninstall::FolderCheck::kSystemFolder, "C:\\Windows",
                              uninstall::TextsFor("ENGLISH"), message, sizeof message);
    EXPECT_STREQ(
        "Nothing was removed: the install folder read from ZarBelPC.INI is not valid (it is a "
        "system folder):\n\"C:\\Windows\"",
        message);
    uninstall::ComposeRefusal(uninstall::FolderCheck::kEmpty, "", uninstall::TextsFor("italiano"),
                              message, sizeof message);
    EXPECT_NE(nullptr, strstr(message, "manca il valore PATH/Installpath"));
}

// Access lists as Windows gives them: who may change a folder the uninstaller would run from.
TEST(FolderAccess, OnlyAdministratorsSystemAndTheInstallerMayChangeIt) {
    using uninstall::AccessEntry;
    using uninstall::Trustee;
    const uint32_t kFullControl = 0x001F01FF;
    const uint32_t kReadAndExecute = 0x001200A9;
    const uint32_t kModify = 0x001301BF;
    const uint32_t kGenericWrite = 0x40000000;
    const uint32_t kAddSubfolder = 0x00000004;  // what Authenticated Users get on a drive root
    const AccessEntry kProgramFiles[] = {
        {true, false, Trustee::kTrustedInstaller, kFullControl},
        {true, false, Trustee::kSystem, kModify},
        {true, false, Trustee::kAdministrators, kModify},
        {true, false, Trustee::kOther, kReadAndExecute},  // Users
        {true, true, Trustee::kCreatorOwner, 0x10000000},
        {true, true, Trustee::kOther, kGenericWrite},  // only for what is created inside
    };
    const AccessEntry kUnderDriveRoot[] = {
        {true, false, Trustee::kAdministrators, kFullControl},
        {true, false, Trustee::kOther,
         kModify},  // Authenticated Users, inherited from the drive root
    };
    const AccessEntry kAddOnly[] = {{true, false, Trustee::kOther, kAddSubfolder}};
    const AccessEntry kDenied[] = {{false, false, Trustee::kOther, kFullControl}};
    // Wine's: the one user, who runs the uninstaller, owns everything; everyone may read.
    const AccessEntry kWine[] = {
        {true, false, Trustee::kSystem, kFullControl},
        {true, false, Trustee::kRunningUser, kFullControl},
        {true, false, Trustee::kOther, kReadAndExecute},
    };
    struct Row {
        const char* what;
        uninstall::AccessList list;
        int writable;
    };
    const Row rows[] = {
        {"Program Files", {true, Trustee::kTrustedInstaller, 6, kProgramFiles}, 0},
        {"owned by a user", {true, Trustee::kOther, 6, kProgramFiles}, 1},
        {"a folder under C:\\", {true, Trustee::kAdministrators, 2, kUnderDriveRoot}, 1},
        {"add subfolders only", {true, Trustee::kAdministrators, 1, kAddOnly}, 1},
        {"a denial grants nothing", {true, Trustee::kAdministrators, 1, kDenied}, 0},
        {"no access list", {false, Trustee::kAdministrators, 0, nullptr}, 1},
        {"owned by the running user", {true, Trustee::kRunningUser, 3, kWine}, 0},
        {"an empty access list", {true, Trustee::kSystem, 0, nullptr}, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.writable, uninstall::WritableByOthers(row.list)) << row.what;
    }
}

}  // namespace
