#include "../uninstall/UninstallRun.h"

#include "FakeRegistry.h"
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

    std::set<std::string, NoCaseLess> files;
    FakeRegistry registry;
    std::set<std::string, NoCaseLess> locked;
    std::set<std::string> failingRuns;
    std::vector<std::string> calls;
};

const char* const kEntryKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZarBelPC";

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

}  // namespace
