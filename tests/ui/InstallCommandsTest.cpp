#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "doubles/Doubles.h"
#include "doubles/InstallDoubles.h"
#include "records/SetupState.h"
#include "ui/InstallCommands.h"

namespace {

WindowHandle const kDialog = reinterpret_cast<WindowHandle>(0xD1A1);

// The installation as the Install command sees it: a result and what it was given.
struct FakeInstallation {
    static int Run(SetupState& state, Platform&, WindowHandle dialog) {
        ++calls;
        folder = state.installFolder;
        handedDialog = dialog;
        return result;
    }
    static inline int result = 1;
    static inline int calls = 0;
    static inline std::string folder;
    static inline WindowHandle handedDialog = nullptr;
};

class InstallCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        state_.reset(new SetupState);
        InitSetupState(*state_);
        state_->owner = FakeSystem::kDesktop;
        platform_.system = &system_;
        platform_.messages = &messages_;
        platform_.browser = &browser_;
        FakeInstallation::result = 1;
        FakeInstallation::calls = 0;
    }
    void AddString(const char* key, const char* text) {
        StringEntry& row = state_->strings.rows[state_->strings.count++];
        strcpy(row.key, key);
        strcpy(row.text, text);
    }

    FakeSystem system_;
    RecordingMessageBoxes messages_;
    ScriptedFolderBrowser browser_;
    Platform platform_;
    std::unique_ptr<SetupState> state_;
};

}  // namespace

TEST(InstallCommands, TheThreeButtonsAreSwallowedWhileInstalling) {
    struct Row {
        int command;
        InstallRoute ready;
        InstallRoute installing;
    };
    const Row rows[] = {
        {1, InstallRoute::kInstall, InstallRoute::kIgnore},
        {2, InstallRoute::kCancel, InstallRoute::kIgnore},
        {3, InstallRoute::kChangeFolder, InstallRoute::kIgnore},
        {0, InstallRoute::kNotHandled, InstallRoute::kNotHandled},
        {1000, InstallRoute::kNotHandled, InstallRoute::kNotHandled},
        {1003, InstallRoute::kNotHandled, InstallRoute::kNotHandled},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.ready, RouteInstallCommand({false}, row.command)) << row.command;
        EXPECT_EQ(row.installing, RouteInstallCommand({true}, row.command)) << row.command;
    }
}

TEST_F(InstallCommandsTest, ASuccessfulInstallationCompletesSilently) {
    strcpy(state_->installFolder, "C:\\Program Files\\ZarbelPC");
    InstallFromDialog(*state_, platform_, kDialog, FakeInstallation::Run);
    EXPECT_EQ(1, FakeInstallation::calls);
    EXPECT_EQ("C:\\Program Files\\ZarbelPC", FakeInstallation::folder);
    EXPECT_EQ(kDialog, FakeInstallation::handedDialog);
    EXPECT_TRUE(state_->installCompleted);
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(InstallCommandsTest, AFailedInstallationShowsExactlyTheAbortMessage) {
    AddString("GLOBAL_WARNING", "Attenzione");
    AddString("SETUP_ABORTED", "Installazione interrotta.");
    FakeInstallation::result = 0;
    InstallFromDialog(*state_, platform_, kDialog, FakeInstallation::Run);
    EXPECT_FALSE(state_->installCompleted);
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(FakeSystem::kDesktop, messages_.shown[0].owner);
    EXPECT_EQ("Installazione interrotta.", messages_.shown[0].text);
    EXPECT_EQ("Attenzione", messages_.shown[0].caption);
    EXPECT_EQ(kMbOk | kMbIconError, messages_.shown[0].type);
}

TEST_F(InstallCommandsTest, MissingKeysShareTheLookupBufferLikeEveryTwoTextBox) {
    FakeInstallation::result = 0;
    InstallFromDialog(*state_, platform_, kDialog, FakeInstallation::Run);
    ASSERT_EQ(1u, messages_.shown.size());
    // Both lookups miss: the caption's miss is overwritten by the text's.
    EXPECT_EQ("SETUP_ABORTED: String Error", messages_.shown[0].caption);
    EXPECT_EQ("SETUP_ABORTED: String Error", messages_.shown[0].text);
    // Only the caption misses: it shows the upper-cased text key.
    messages_.shown.clear();
    AddString("SETUP_ABORTED", "Installazione interrotta.");
    InstallFromDialog(*state_, platform_, kDialog, FakeInstallation::Run);
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ("SETUP_ABORTED", messages_.shown[0].caption);
    EXPECT_EQ("Installazione interrotta.", messages_.shown[0].text);
}

TEST_F(InstallCommandsTest, ChangeThenCancelUpperCasesTheDefault) {
    AddString("SETUP_CHOOSE_INSTALL_PATH", "Scegli la cartella");
    strcpy(state_->installFolder, "C:\\Program Files\\ZarbelPC");
    browser_.confirm = false;
    browser_.events = {{BrowseEvent::Initialized, ""}, {BrowseEvent::Changed, "D:\\Other"}};
    ChangeInstallFolder(*state_, platform_, kDialog);
    EXPECT_STREQ("C:\\PROGRAM FILES\\ZARBELPC", state_->installFolder);
    EXPECT_EQ(kDialog, browser_.owner);
    EXPECT_EQ("Scegli la cartella", browser_.title);
    EXPECT_EQ("C:\\Program Files\\ZarbelPC", browser_.initialPath);
    // Cancelling again changes nothing more.
    ChangeInstallFolder(*state_, platform_, kDialog);
    EXPECT_STREQ("C:\\PROGRAM FILES\\ZARBELPC", state_->installFolder);
    EXPECT_EQ(2, browser_.browses);
}

TEST_F(InstallCommandsTest, ChangeToAnotherFolderAppendsTheProductFolder) {
    strcpy(state_->installFolder, "C:\\Program Files\\ZarbelPC");
    browser_.events = {{BrowseEvent::Initialized, ""}, {BrowseEvent::Changed, "D:\\Games"}};
    ChangeInstallFolder(*state_, platform_, kDialog);
    EXPECT_STREQ("D:\\GAMES\\ZarbelPC", state_->installFolder);
    EXPECT_EQ("SETUP_CHOOSE_INSTALL_PATH: String Error", browser_.title);

    browser_.events = {{BrowseEvent::Initialized, ""}, {BrowseEvent::Changed, "C:\\"}};
    ChangeInstallFolder(*state_, platform_, kDialog);
    EXPECT_STREQ("C:\\ZarbelPC", state_->installFolder);
}
