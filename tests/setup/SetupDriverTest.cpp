// The driver's stage order and its final settings, with every stage and platform call doubled.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "doubles/Doubles.h"
#include "doubles/Scratch.h"
#include "doubles/TestDictionary.h"
#include "platform/MemoryResourceStore.h"
#include "setup/PlatformCheck.h"
#include "setup/SetupDriver.h"
#include "ui/SetupStages.h"
#include "records/SetupState.h"

namespace {

class ScriptedStages : public SetupStages {
public:
    int LanguageDialog() override {
        calls.push_back("language");
        if (onLanguage) {
            onLanguage();
        }
        return languageResult;
    }
    int LicenseDialog() override {
        calls.push_back("license");
        return licenseResult;
    }
    int InstallDialog() override {
        calls.push_back("install");
        if (onInstall) {
            onInstall();
        }
        return 1;
    }
    std::vector<std::string> calls;
    int languageResult = 0;
    int licenseResult = 1;
    std::function<void()> onLanguage;
    std::function<void()> onInstall;
};

class SetupDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorkFolderFiles* files = new WorkFolderFiles(MakeTestFileSystem(scratch_.path()));
        files->currentFolder = scratch_.Join("work");
        files->tempFolder = scratch_.path();
        ASSERT_TRUE(files->CreateFolder(files->currentFolder.c_str()));
        files_.reset(files);
        resources_.Add("PLAINEXTRACT", "DICT.DIC", MakeDictionaryContainer(kSmallDictionary));
        profile_ = MakeTestProfileStore(scratch_.path());
        platform_.system = &system_;
        platform_.messages = &messages_;
        platform_.profile = profile_.get();
        platform_.resources = &resources_;
        platform_.files = files_.get();
        platform_.progress = &progress_;
        state_ = new SetupState;
        InitSetupState(*state_);
    }
    void TearDown() override { delete state_; }
    std::string Setting(const char* key) {
        char out[128];
        profile_->ReadString("SETTINGS", key, "<missing>", out, sizeof out, "ZarBelPC.INI");
        return out;
    }

    ScratchFolder scratch_;
    FakeSystem system_;
    RecordingMessageBoxes messages_;
    MemoryResourceStore resources_;
    RecordingProgressBar progress_;
    std::unique_ptr<FileSystem> files_;
    std::unique_ptr<ProfileStore> profile_;
    Platform platform_;
    SetupState* state_;  // large: kept off the stack
    ScriptedStages stages_;
};

TEST_F(SetupDriverTest, CancelledInstallStillWritesLanguageAndExeMode) {
    EXPECT_EQ(0, RunSetup(*state_, platform_, stages_));
    EXPECT_EQ((std::vector<std::string>{"language", "license", "install"}), stages_.calls);
    EXPECT_EQ("ITALIANO", Setting("CURRLANGUAGE"));
    EXPECT_EQ("0", Setting("EXEMODE"));
    EXPECT_TRUE(messages_.shown.empty()) << "no completion message without an installation";
    EXPECT_EQ(FakeSystem::kDesktop, state_->owner);
    EXPECT_EQ((std::vector<std::string>{"RICHED32.DLL"}), system_.loadedLibraries);
}

TEST_F(SetupDriverTest, DeclinedOrFailedLicenseEndsWithoutWritingAnything) {
    for (int result : {0, -1}) {
        stages_.calls.clear();
        messages_.shown.clear();
        stages_.licenseResult = result;
        EXPECT_EQ(0, RunSetup(*state_, platform_, stages_));
        EXPECT_EQ((std::vector<std::string>{"language", "license"}), stages_.calls) << result;
        EXPECT_EQ("<missing>", Setting("EXEMODE")) << result;
        EXPECT_EQ(result == 0 ? 0u : 1u, messages_.shown.size()) << "silent only on a decline";
    }
}

// A license dialog that cannot be created says so, in the language's text when the dictionary
// has one and in the fixed English text otherwise.
TEST_F(SetupDriverTest, ALicenseDialogThatCannotBeCreatedTellsTheUserWhy) {
    const char* const fallback =
        "The license agreement cannot be shown, so Setup cannot go on.\nNothing has been "
        "installed.";
    const std::string keys = "[ENUMKEYS]\r\nK0=SETUP_CAPTION\r\nK1=SETUP_LICENSE_NOT_SHOWN\r\n";
    struct Case {
        const char* language;
        std::string dictionary;
        const char* caption;
        const char* text;
    } cases[] = {
        {"ITALIANO",
         keys + "[ITALIANO]\r\nSETUP_CAPTION=Installazione\r\n"
                "SETUP_LICENSE_NOT_SHOWN=Licenza non visibile.\\nNulla installato.\r\n",
         "Installazione", "Licenza non visibile. \nNulla installato."},
        // Not in the key list at all.
        {"ENGLISH", kSmallDictionary, "ZarBelPC Setup", fallback},
        // Listed, but the language has no text for it, or an empty one.
        {"FRENCH", keys + "[FRENCH]\r\nSETUP_CAPTION=Installation\r\n", "Installation", fallback},
        {"ESPANOL", keys + "[ESPANOL]\r\nSETUP_CAPTION=\r\nSETUP_LICENSE_NOT_SHOWN=\r\n",
         "ZarBelPC Setup", fallback},
    };
    stages_.licenseResult = -1;
    for (const Case& c : cases) {
        MemoryResourceStore resources;
        resources.Add("PLAINEXTRACT", "DICT.DIC", MakeDictionaryContainer(c.dictionary));
        platform_.resources = &resources;
        messages_.shown.clear();
        stages_.onLanguage = [&] { strcpy(state_->language, c.language); };
        ASSERT_TRUE(profile_->WriteString("SETTINGS", "CURRLANGUAGE", c.language, "ZarBelPC.INI"));
        EXPECT_EQ(0, RunSetup(*state_, platform_, stages_));
        ASSERT_EQ(1u, messages_.shown.size()) << c.language;
        const ShownMessage& shown = messages_.shown[0];
        EXPECT_EQ(FakeSystem::kDesktop, shown.owner) << c.language;
        EXPECT_EQ(kMbIconError, shown.type) << c.language;
        EXPECT_EQ(c.caption, shown.caption) << c.language;
        EXPECT_EQ(c.text, shown.text) << c.language;
        EXPECT_EQ("<missing>", Setting("EXEMODE")) << c.language;
    }
}

TEST_F(SetupDriverTest, CompletedInstallShowsTheCompletionMessageLast) {
    stages_.onLanguage = [this] { strcpy(state_->language, "ENGLISH"); };
    stages_.onInstall = [this] { state_->installCompleted = true; };
    RunSetup(*state_, platform_, stages_);
    EXPECT_EQ("ENGLISH", Setting("CURRLANGUAGE"));
    ASSERT_EQ(1u, messages_.shown.size());
    const ShownMessage& shown = messages_.shown[0];
    EXPECT_EQ(FakeSystem::kDesktop, shown.owner);
    EXPECT_EQ(kMbIconInformation, shown.type);
    EXPECT_EQ("ZarBelPC Setup", shown.caption);
    EXPECT_EQ("Setup completed. \tEnjoy!", shown.text);
}

TEST_F(SetupDriverTest, CancelledLanguageDialogKeepsTheLanguageOfAnEarlierRun) {
    ASSERT_TRUE(profile_->WriteString("SETTINGS", "CURRLANGUAGE", "ENGLISH", "ZarBelPC.INI"));
    stages_.languageResult = -1;
    stages_.onInstall = [this] { state_->installCompleted = true; };
    RunSetup(*state_, platform_, stages_);
    EXPECT_STREQ("ENGLISH", state_->language);
    EXPECT_EQ("ENGLISH", Setting("CURRLANGUAGE"));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ("ZarBelPC Setup", messages_.shown[0].caption);
}

TEST_F(SetupDriverTest, FailedStringTableLoadEndsBeforeTheLicenseDialog) {
    MemoryResourceStore damaged;
    std::vector<unsigned char> container = MakeDictionaryContainer(kSmallDictionary);
    container.push_back(0);
    damaged.Add("PLAINEXTRACT", "DICT.DIC", container);
    MemoryResourceStore empty;
    for (MemoryResourceStore* resources : {&damaged, &empty}) {
        stages_.calls.clear();
        messages_.shown.clear();
        platform_.resources = resources;
        EXPECT_EQ(0, RunSetup(*state_, platform_, stages_));
        EXPECT_EQ((std::vector<std::string>{"language"}), stages_.calls);
        ASSERT_FALSE(messages_.shown.empty());
        EXPECT_EQ("ZarBelPC Error", messages_.shown.back().caption) << "the load's own message";
        EXPECT_EQ("<missing>", Setting("EXEMODE"));
    }
}

TEST_F(SetupDriverTest, PlatformCheckWarnsOnlyOutsideTheNtFamily) {
    CheckPlatform(platform_);
    EXPECT_TRUE(messages_.shown.empty());

    system_.platformId = 1;  // the Windows 9x family
    EXPECT_EQ(0, RunSetup(*state_, platform_, stages_));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(FakeSystem::kDesktop, messages_.shown[0].owner);
    EXPECT_EQ(kMbIconWarning, messages_.shown[0].type);
    EXPECT_EQ("ZarBel PC Setup - Info", messages_.shown[0].caption);
    const char expected[] =
        "ZarBel PC \xE8 compatibile con i sistemi operativi\n"
        "Windows 2000, Windows XP o superiori.         \n"
        "Con altri sistemi operativi il funzionamento non \xE8 garantito.           \n";
    EXPECT_EQ(std::string(expected), messages_.shown[0].text);
    EXPECT_EQ(3u, stages_.calls.size()) << "the setup goes on after the warning";
}

}  // namespace
