// The shortcut step: which links and folders the table yields, the shell folder reads and their
// messages, and the question.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "doubles/InstallDoubles.h"
#include "install/Shortcuts.h"
#include "records/SetupState.h"

namespace {

WindowHandle const kDialog = reinterpret_cast<WindowHandle>(0xD1A);
WindowHandle const kFocus = reinterpret_cast<WindowHandle>(0xF0C);
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::vector<std::string> Describe(const ShortcutPlan& plan) {
    std::vector<std::string> lines;
    for (int i = 0; i < plan.count; ++i) {
        const ShortcutAction& a = plan.actions[i];
        if (a.step == ShortcutStep::kCreateFolder) {
            lines.push_back(std::string("mkdir ") + a.path);
        } else {
            lines.push_back(std::string("link ") + a.path + " -> " + a.target + " (" +
                            a.description + ")");
        }
    }
    return lines;
}

ShellFolders TestFolders() {
    ShellFolders folders;
    strcpy(folders.desktop, "C:\\Users\\u\\Desktop");
    strcpy(folders.sendTo, "C:\\Users\\u\\SendTo");
    strcpy(folders.startMenu, "C:\\Users\\u\\Start Menu");
    strcpy(folders.programs, "C:\\Users\\u\\Start Menu\\Programs");
    return folders;
}

ShortcutPlan PlanFor(const ShortcutTable& table, bool wantDesktop, const ShellFolders& folders) {
    ShortcutInputs inputs = {&table, wantDesktop, "D:\\Zar Bel", "C:\\WINDOWS", &folders};
    ShortcutPlan plan;
    PlanShortcuts(inputs, &plan);
    return plan;
}

const std::string kRow2 =
    "link C:\\Users\\u\\SendTo\\ZarbelPC.lnk -> D:\\Zar Bel\\ZarbelPC.EXE (ZarbelPC)";
const std::string kRow3 =
    "link C:\\Users\\u\\Start Menu\\ZarbelPC.lnk -> D:\\Zar Bel\\ZarbelPC.EXE (ZarbelPC)";
const std::string kGroup = "mkdir C:\\Users\\u\\Start Menu\\Programs\\ZarbelPC";
const std::string kRow4 =
    "link C:\\Users\\u\\Start Menu\\Programs\\ZarbelPC\\ZarbelPC.lnk -> "
    "D:\\Zar Bel\\ZarbelPC.EXE (ZarBelPC: Software Multimediale per Karaoke)";
const std::string kRow5 =
    "link C:\\Users\\u\\Start Menu\\Programs\\ZarbelPC\\Uninstall ZarbelPC.lnk -> "
    "C:\\WINDOWS\\ZarBelPC_UNINSTALL.EXE (ZarBelPC: Software Multimediale per Karaoke)";
const std::string kRow1 =
    "link C:\\Users\\u\\Desktop\\ZarbelPC.lnk -> D:\\Zar Bel\\ZarbelPC.EXE (ZarbelPC)";

TEST(ShortcutPlanTest, NoGivesFourLinksAndYesFiveInTableOrder) {
    const ShortcutTable& table = kSetupConfiguration.shortcuts;
    EXPECT_EQ((std::vector<std::string>{kRow2, kRow3, kGroup, kRow4, kGroup, kRow5}),
              Describe(PlanFor(table, false, TestFolders())));
    EXPECT_EQ((std::vector<std::string>{kRow1, kRow2, kRow3, kGroup, kRow4, kGroup, kRow5}),
              Describe(PlanFor(table, true, TestFolders())));
}

TEST(ShortcutPlanTest, TableVariants) {
    ShortcutTable empty = kSetupConfiguration.shortcuts;
    empty.productExecutable[0] = '\0';
    EXPECT_EQ(0, PlanFor(empty, true, TestFolders()).count);
    ShellFolderUse none = ShellFoldersNeeded(empty, true);
    EXPECT_FALSE(none.desktop || none.sendTo || none.startMenu || none.programs);

    // The first entry ends the list: the uninstaller gets no link.
    ShortcutTable oneEntry = kSetupConfiguration.shortcuts;
    oneEntry.entries[0].nextTargetName[0] = '\0';
    EXPECT_EQ((std::vector<std::string>{kRow1, kRow2, kRow3, kGroup, kRow4}),
              Describe(PlanFor(oneEntry, true, TestFolders())));

    // Only the uninstaller's row as the first entry: its group link only, and no folder read
    // but Programs.
    ShortcutTable uninstallerOnly = kSetupConfiguration.shortcuts;
    uninstallerOnly.entries[0] = uninstallerOnly.entries[1];
    EXPECT_EQ((std::vector<std::string>{kGroup, kRow5}),
              Describe(PlanFor(uninstallerOnly, true, TestFolders())));
    ShellFolderUse programsOnly = ShellFoldersNeeded(uninstallerOnly, true);
    EXPECT_FALSE(programsOnly.desktop || programsOnly.sendTo || programsOnly.startMenu);
    EXPECT_TRUE(programsOnly.programs);

    // A last entry that claims a successor: the table still ends with its last row.
    ShortcutTable noEnd = kSetupConfiguration.shortcuts;
    strcpy(noEnd.entries[1].nextTargetName, "MORE.EXE");
    EXPECT_EQ(kShortcutEntryCount, ShortcutEntriesInUse(noEnd));
    EXPECT_EQ(7, PlanFor(noEnd, true, TestFolders()).count);
}

// An empty shell folder value must not put links at the root of the current drive.
TEST(ShortcutPlanTest, EmptyShellFoldersGetNoLinks) {
    ShellFolders folders = TestFolders();
    folders.desktop[0] = '\0';
    folders.programs[0] = '\0';
    ShortcutPlan plan = PlanFor(kSetupConfiguration.shortcuts, true, folders);
    EXPECT_EQ((std::vector<std::string>{kRow2, kRow3}), Describe(plan));
    EXPECT_EQ(3, plan.skipped);  // the desktop link and both group folders
}

// Working texts hold 255 characters: "ZarbelPC.lnk" has 12, "Uninstall ZarbelPC.lnk" 22.
TEST(ShortcutPlanTest, LinksWhosePathsDoNotFitAreSkipped) {
    ShellFolders folders = TestFolders();
    std::string sendTo = "C:\\" + std::string(242 - 3, 's');     // 242 + 1 + 12 = 255: fits
    std::string startMenu = "C:\\" + std::string(243 - 3, 'm');  // 256: does not
    strcpy(folders.sendTo, sendTo.c_str());
    strcpy(folders.startMenu, startMenu.c_str());
    ShortcutPlan plan = PlanFor(kSetupConfiguration.shortcuts, false, folders);
    EXPECT_EQ(1, plan.skipped);
    EXPECT_EQ((std::vector<std::string>{
                  "link " + sendTo + "\\ZarbelPC.lnk -> D:\\Zar Bel\\ZarbelPC.EXE (ZarbelPC)",
                  kGroup, kRow4, kGroup, kRow5}),
              Describe(plan));

    // A group folder of 241 characters fits itself but neither of its links (254 and 264);
    // one of 250 does not fit with "\ZarbelPC" and is not made at all.
    folders = TestFolders();
    std::string programs = "C:\\" + std::string(241 - 9 - 3, 'p');
    strcpy(folders.programs, programs.c_str());
    plan = PlanFor(kSetupConfiguration.shortcuts, false, folders);
    EXPECT_EQ((std::vector<std::string>{kRow2, kRow3, "mkdir " + programs + "\\ZarbelPC",
                                        "link " + programs +
                                            "\\ZarbelPC\\ZarbelPC.lnk -> D:\\Zar Bel\\ZarbelPC.EXE "
                                            "(ZarBelPC: Software Multimediale per Karaoke)",
                                        "mkdir " + programs + "\\ZarbelPC"}),
              Describe(plan));
    EXPECT_EQ(1, plan.skipped);

    programs = "C:\\" + std::string(250 - 3, 'p');
    strcpy(folders.programs, programs.c_str());
    plan = PlanFor(kSetupConfiguration.shortcuts, false, folders);
    EXPECT_EQ((std::vector<std::string>{kRow2, kRow3}), Describe(plan));
    EXPECT_EQ(2, plan.skipped);
}

class ShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform_.system = &system_;
        platform_.messages = &messages_;
        platform_.registry = &registry_;
        platform_.links = &links_;
        platform_.files = &files_;
        system_.focus = kFocus;
        state_ = new SetupState;
        InitSetupState(*state_);
        strcpy(state_->installFolder, "D:\\Zar Bel");
        strcpy(state_->windowsFolder, "C:\\WINDOWS");
        AddString("GLOBAL_INFO", "Informazione");
        AddString("SETUP_CREATE_ICON_ON_DESKTOP", "Creare le icone sul desktop?");
        ShellFolders folders = TestFolders();
        SetFolder("Desktop", folders.desktop);
        SetFolder("SendTo", folders.sendTo);
        SetFolder("Start Menu", folders.startMenu);
        SetFolder("Programs", folders.programs);
    }
    void TearDown() override { delete state_; }

    void AddString(const char* key, const char* text) {
        StringEntry& row = state_->strings.rows[state_->strings.count++];
        strcpy(row.key, key);
        strcpy(row.text, text);
    }
    void SetFolder(const char* name, const std::string& value) {
        registry_.SetValue(RegistryRoot::kCurrentUser, kShellFoldersKey, name, value);
    }
    std::vector<std::string> LinkPaths() const {
        std::vector<std::string> paths;
        for (const MadeLink& link : links_.links) {
            paths.push_back(link.linkPath);
        }
        return paths;
    }

    FakeSystem system_;
    RecordingMessageBoxes messages_;
    RecordingRegistry registry_;
    RecordingShellLinks links_;
    EventLog fileLog_;
    LoggingFileSystem files_{nullptr, "C:\\WINDOWS", &fileLog_};
    Platform platform_;
    SetupState* state_;
};

TEST_F(ShortcutsTest, AnswerYesReadsEachFolderOnceAndMakesFiveLinks) {
    messages_.answers = {kIdYes};
    EXPECT_EQ(1, CreateShortcuts(*state_, platform_, kDialog));

    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(kDialog, messages_.shown[0].owner);
    EXPECT_EQ("Creare le icone sul desktop?", messages_.shown[0].text);
    EXPECT_EQ("Informazione", messages_.shown[0].caption);
    EXPECT_EQ(kMbYesNo | kMbIconQuestion, messages_.shown[0].type);

    std::string open = "open HKCU\\" + std::string(kShellFoldersKey);
    for (char& c : open) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    open.replace(0, 4, "open");
    EXPECT_EQ((std::vector<std::string>{open, "query Desktop", "close", open, "query SendTo",
                                        "close", open, "query Start Menu", "close", open,
                                        "query Programs", "close"}),
              registry_.calls);
    EXPECT_EQ(0, registry_.openKeys);

    EXPECT_EQ((std::vector<std::string>{
                  "C:\\Users\\u\\Desktop\\ZarbelPC.lnk", "C:\\Users\\u\\SendTo\\ZarbelPC.lnk",
                  "C:\\Users\\u\\Start Menu\\ZarbelPC.lnk",
                  "C:\\Users\\u\\Start Menu\\Programs\\ZarbelPC\\ZarbelPC.lnk",
                  "C:\\Users\\u\\Start Menu\\Programs\\ZarbelPC\\Uninstall ZarbelPC.lnk"}),
              LinkPaths());
    EXPECT_EQ("C:\\WINDOWS\\ZarBelPC_UNINSTALL.EXE", links_.links[4].target);
    EXPECT_EQ((std::vector<std::string>{"mkdir C:\\Users\\u\\Start Menu\\Programs\\ZarbelPC",
                                        "mkdir C:\\Users\\u\\Start Menu\\Programs\\ZarbelPC"}),
              fileLog_);
}

TEST_F(ShortcutsTest, AnswerNoOrNoBoxLeavesTheDesktopAlone) {
    for (int answer : {kIdNo, 0}) {
        links_.links.clear();
        registry_.calls.clear();
        messages_.answers = {answer};
        EXPECT_EQ(answer == 0 ? 0 : 1, CreateShortcuts(*state_, platform_, kDialog)) << answer;
        EXPECT_EQ(4u, links_.links.size()) << answer;
        for (const std::string& call : registry_.calls) {
            EXPECT_EQ(std::string::npos, call.find("Desktop")) << answer;
        }
    }
}

TEST_F(ShortcutsTest, EmptyProductExecutableAsksButMakesNothing) {
    ShortcutTable table = kSetupConfiguration.shortcuts;
    table.productExecutable[0] = '\0';
    messages_.answers = {kIdYes};
    EXPECT_EQ(1, CreateShortcuts(*state_, platform_, kDialog, table));
    EXPECT_EQ(1u, messages_.shown.size());
    EXPECT_TRUE(links_.links.empty());
    EXPECT_TRUE(fileLog_.empty());
    EXPECT_TRUE(registry_.calls.empty());
}

TEST_F(ShortcutsTest, MissingDesktopValueFallsBackToDriveRootAfterTwoMessages) {
    registry_ = RecordingRegistry();
    registry_.AddKey(RegistryRoot::kCurrentUser, kShellFoldersKey);
    ShellFolders folders = TestFolders();
    SetFolder("SendTo", folders.sendTo);
    SetFolder("Start Menu", folders.startMenu);
    SetFolder("Programs", folders.programs);
    messages_.answers = {kIdYes};
    EXPECT_EQ(1, CreateShortcuts(*state_, platform_, kDialog));

    ASSERT_EQ(3u, messages_.shown.size());
    EXPECT_EQ(nullptr, messages_.shown[1].owner);
    EXPECT_EQ("System text of error 2", messages_.shown[1].text);
    EXPECT_EQ("GetLastError", messages_.shown[1].caption);
    EXPECT_EQ(kMbIconInformation, messages_.shown[1].type);
    EXPECT_EQ(kFocus, messages_.shown[2].owner);
    EXPECT_EQ("Can't find registry key:\\HKEY_CURRENT_USER", messages_.shown[2].text);
    EXPECT_EQ("Read Registry", messages_.shown[2].caption);
    EXPECT_EQ(kMbIconError, messages_.shown[2].type);
    ASSERT_EQ(5u, links_.links.size());
    EXPECT_EQ("C:\\\\ZarbelPC.lnk", links_.links[0].linkPath);
    EXPECT_EQ(0, registry_.openKeys);
}

TEST_F(ShortcutsTest, GetShellFolderReportsAMissingKeyOnce) {
    registry_ = RecordingRegistry();
    char folder[kShellFolderSize];
    EXPECT_EQ(0, GetShellFolder(platform_, folder, sizeof folder, "SendTo"));
    EXPECT_STREQ("C:\\", folder);
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(kFocus, messages_.shown[0].owner);
    EXPECT_EQ("Can't open registry:\\HKEY_CURRENT_USER", messages_.shown[0].text);
    EXPECT_EQ("Read Registry", messages_.shown[0].caption);
    EXPECT_EQ(kMbIconError, messages_.shown[0].type);

    // A value that does not fit the buffer fails like a missing one.
    messages_.shown.clear();
    registry_.SetValue(RegistryRoot::kCurrentUser, kShellFoldersKey, "SendTo",
                       std::string(256, 'x'));
    EXPECT_EQ(0, GetShellFolder(platform_, folder, sizeof folder, "SendTo"));
    EXPECT_STREQ("C:\\", folder);
    ASSERT_EQ(2u, messages_.shown.size());
    EXPECT_EQ("System text of error 234", messages_.shown[0].text);

    registry_.SetValue(RegistryRoot::kCurrentUser, kShellFoldersKey, "SendTo",
                       std::string(255, 'x'));
    EXPECT_EQ(1, GetShellFolder(platform_, folder, sizeof folder, "SendTo"));
    EXPECT_EQ(std::string(255, 'x'), folder);
}

}  // namespace
