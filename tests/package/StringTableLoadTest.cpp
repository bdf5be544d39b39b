// Loading the string table from the dictionary resource: the working files, the language
// read-back, the two messages and what each failure leaves behind. Runs with the portable INI
// reader everywhere and, under wine64, with the platform's private-profile functions too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "doubles/Doubles.h"
#include "doubles/Scratch.h"
#include "doubles/TestDictionary.h"
#include "package/LocalizedTexts.h"
#include "platform/MemoryResourceStore.h"
#include "records/SetupState.h"

namespace {

const char kCannotOpen[] = "Cannot open DICT.DIC";
const char kDamaged[] =
    "Error while opening DICT.DIC\nThe file may be corrupted\nReinstall ZarBelPC\n";

// A dictionary whose texts tell the languages apart.
const char kDictionary[] =
    "; the setup's texts\r\n"
    "[ENUMKEYS]\r\n"
    "K0=SETUP_CAPTION\r\n"
    "K1=Global_Cancel\r\n"
    "K2=SETUP_ABORTED\r\n"
    "K3=-\r\n"
    "[ITALIANO]\r\n"
    "SETUP_CAPTION=Installazione di ZarBelPC\r\n"
    "GLOBAL_CANCEL=Annulla\r\n"
    "SETUP_ABORTED=L'installazione \xE8 stata interrotta.\\nRiprovare.\r\n"
    "[ENGLISH]\r\n"
    "SETUP_CAPTION=ZarBelPC Setup\r\n"
    "GLOBAL_CANCEL=Cancel\r\n"
    "SETUP_ABORTED=Setup was aborted.\\tTry again.\r\n";

struct StoreKind {
    const char* name;
    bool realWindowsFolder;  // the settings file lives in the real Windows directory
};

void PrintTo(const StoreKind& kind, std::ostream* out) {
    *out << kind.name;
}

std::vector<StoreKind> Kinds() {
    std::vector<StoreKind> kinds = {{"portable", false}};
#ifdef _WIN32
    kinds.push_back({"win32", true});
#endif
    return kinds;
}

class StringTableLoadTest : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override {
        for (const std::string& folder : {windows_, work_, temp_}) {
            ASSERT_TRUE(MakeTestFileSystem(windows_)->CreateFolder(folder.c_str())) << folder;
        }
        files_ = new WorkFolderFiles(MakeTestFileSystem(windows_));
        ownedFiles_.reset(files_);
        files_->currentFolder = work_;
        files_->tempFolder = temp_;
        if (GetParam().realWindowsFolder) {
#ifdef _WIN32
            char folder[260];
            ASSERT_NE(0u, files_->GetWindowsFolder(folder, sizeof folder));
            settingsPath_ = std::string(folder) + "\\ZarBelPC.INI";
            if (FileExists(settingsPath_)) {
                GTEST_SKIP() << "a settings file of this machine is in the way: " << settingsPath_;
            }
            profile_ = MakeWin32TestProfileStore();
#endif
        } else {
            settingsPath_ = windows_ + "\\ZarBelPC.INI";
            profile_ = MakeTestProfileStore(windows_);
        }
        resources_.Add("PLAINEXTRACT", "DICT.DIC", MakeDictionaryContainer(kDictionary));
        platform_.messages = &messages_;
        platform_.profile = profile_.get();
        platform_.resources = &resources_;
        platform_.files = files_;
        platform_.progress = &progress_;
        state_ = new SetupState;
        InitSetupState(*state_);
    }
    void TearDown() override {
        delete state_;
        if (GetParam().realWindowsFolder && !IsSkipped()) {
            files_->Delete(settingsPath_.c_str());
        }
    }
    std::string Setting() {
        char out[128];
        profile_->ReadString("SETTINGS", "CURRLANGUAGE", "<missing>", out, sizeof out,
                             "ZarBelPC.INI");
        return out;
    }
    const char* Lookup(const char* key) {
        return LookupString(state_->strings, key);
    }
    void ExpectOneError(const char* text) {
        ASSERT_FALSE(messages_.shown.empty());
        const ShownMessage& last = messages_.shown.back();
        EXPECT_EQ(text, last.text);
        EXPECT_EQ("ZarBelPC Error", last.caption);
        EXPECT_EQ(nullptr, last.owner);
        EXPECT_EQ(kMbIconError, last.type);
    }

    ScratchFolder scratch_;
    std::string windows_ = scratch_.Join("WINDOWS");
    std::string work_ = scratch_.Join("work");
    std::string temp_ = scratch_.Join("temp");
    std::string settingsPath_;
    WorkFolderFiles* files_;
    std::unique_ptr<FileSystem> ownedFiles_;
    std::unique_ptr<ProfileStore> profile_;
    RecordingMessageBoxes messages_;
    MemoryResourceStore resources_;
    RecordingProgressBar progress_;
    Platform platform_;
    SetupState* state_;  // large: kept off the stack
};

TEST_P(StringTableLoadTest, LoadsTheLanguageAndRemovesTheWorkingFiles) {
    ASSERT_EQ(1, LoadStringTable(*state_, platform_));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_TRUE(progress_.calls.empty()) << "the dictionary is written without a progress window";
    EXPECT_EQ(3, state_->strings.count);
    EXPECT_STREQ("Installazione di ZarBelPC", Lookup("setup_caption"));
    EXPECT_STREQ("Annulla", Lookup("GLOBAL_CANCEL"));
    EXPECT_STREQ("L'installazione \xE8 stata interrotta. \nRiprovare.", Lookup("SETUP_ABORTED"));
    EXPECT_FALSE(FileExists(work_ + "\\DICT.DIC"));
    EXPECT_FALSE(FileExists(work_ + "\\TEMP.DIC"));
    EXPECT_EQ(work_ + "\\DICT.DIC", files_->created.front()) << "the current directory is used";
    // The language is written back, so the key exists from now on.
    EXPECT_EQ("ITALIANO", Setting());
}

TEST_P(StringTableLoadTest, LanguageOfTheSettingsFileWins) {
    ASSERT_TRUE(profile_->WriteString("SETTINGS", "CURRLANGUAGE", "ENGLISH", "ZarBelPC.INI"));
    ASSERT_EQ(1, LoadStringTable(*state_, platform_));
    EXPECT_STREQ("ENGLISH", state_->language);
    EXPECT_STREQ("Setup was aborted. \tTry again.", Lookup("SETUP_ABORTED"));

    // A stored value longer than the field is cut to 62 characters; no section has that name.
    std::string longName(70, 'X');
    ASSERT_TRUE(
        profile_->WriteString("SETTINGS", "CURRLANGUAGE", longName.c_str(), "ZarBelPC.INI"));
    ASSERT_EQ(1, LoadStringTable(*state_, platform_));
    EXPECT_EQ(std::string(62, 'X'), state_->language);
    EXPECT_EQ(std::string(62, 'X'), Setting());
    EXPECT_STREQ("String Error!", Lookup("SETUP_CAPTION"));
}

TEST_P(StringTableLoadTest, MissingResourceEndsWithCannotOpen) {
    MemoryResourceStore empty;
    platform_.resources = &empty;
    EXPECT_EQ(0, LoadStringTable(*state_, platform_));
    // The extraction tells about the resource first, then the loader.
    ASSERT_EQ(2u, messages_.shown.size());
    ExpectOneError(kCannotOpen);
    EXPECT_FALSE(FileExists(work_ + "\\DICT.DIC"));
    EXPECT_FALSE(FileExists(work_ + "\\TEMP.DIC"));
    EXPECT_EQ("<missing>", Setting()) << "nothing is read or written after a failure";
    EXPECT_STREQ("SETUP_CAPTION: String Error", Lookup("SETUP_CAPTION"));
}

TEST_P(StringTableLoadTest, DamagedContainerKeepsBothFiles) {
    std::vector<unsigned char> changed = MakeDictionaryContainer(kDictionary);
    changed[20] ^= 0x40;
    std::vector<unsigned char> appended = MakeDictionaryContainer(kDictionary);
    appended.push_back('x');
    struct Case {
        const char* what;
        std::vector<unsigned char> container;
        bool plainHasPayload;
    } cases[] = {{"changed byte", changed, true}, {"appended byte", appended, false}};
    for (const Case& c : cases) {
        MemoryResourceStore damaged;
        damaged.Add("PlainExtract", "DICT.DIC", c.container);
        platform_.resources = &damaged;
        messages_.shown.clear();
        EXPECT_EQ(0, LoadStringTable(*state_, platform_)) << c.what;
        ASSERT_EQ(1u, messages_.shown.size()) << c.what;
        ExpectOneError(kDamaged);
        std::vector<unsigned char> left;
        EXPECT_TRUE(ReadFileBytes(work_ + "\\DICT.DIC", &left)) << c.what;
        EXPECT_EQ(c.container, left) << c.what;
        ASSERT_TRUE(FileExists(work_ + "\\TEMP.DIC")) << c.what;
        std::string plain;
        if (c.plainHasPayload) {
            // Container byte 20 is payload byte 12.
            plain = kDictionary;
            plain[12] ^= 0x40;
        }
        EXPECT_EQ(plain, ReadFileText(work_ + "\\TEMP.DIC")) << c.what;
        EXPECT_EQ("<missing>", Setting()) << c.what;
        EXPECT_EQ(0, state_->strings.count) << c.what;
    }
}

TEST_P(StringTableLoadTest, LeftOverDictionaryIsOverwritten) {
    ASSERT_TRUE(WriteFileText(work_ + "\\DICT.DIC", "left by an earlier, broken run"));
    ASSERT_TRUE(WriteFileText(work_ + "\\TEMP.DIC", "[ENUMKEYS]\r\nK0=OLD\r\n"));
    EXPECT_EQ(1, LoadStringTable(*state_, platform_));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(3, state_->strings.count);
    EXPECT_FALSE(FileExists(work_ + "\\DICT.DIC"));
}

TEST_P(StringTableLoadTest, ReadOnlyFolderWithoutDictionaryUsesTheTempFolder) {
    files_->readOnlyFolder = work_;
    EXPECT_EQ(1, LoadStringTable(*state_, platform_));
    EXPECT_TRUE(messages_.shown.empty()) << "no word about the folder that could not be written";
    EXPECT_STREQ("Installazione di ZarBelPC", Lookup("SETUP_CAPTION"));
    EXPECT_FALSE(FileExists(temp_ + "\\DICT.DIC"));
    EXPECT_FALSE(FileExists(temp_ + "\\TEMP.DIC"));
    const std::vector<std::string>& created = files_->created;
    EXPECT_NE(created.end(), std::find(created.begin(), created.end(), temp_ + "\\DICT.DIC"));
    EXPECT_NE(created.end(), std::find(created.begin(), created.end(), temp_ + "\\TEMP.DIC"));
    EXPECT_EQ(created.end(), std::find(created.begin(), created.end(), work_ + "\\TEMP.DIC"));
}

TEST_P(StringTableLoadTest, ReadOnlyFolderWithADictionaryIsUsedAsItIs) {
    // Only a folder without DICT.DIC moves to the temp folder; here the extraction cannot
    // overwrite the file and TEMP.DIC cannot be created beside it.
    ASSERT_TRUE(WriteFileBytes(work_ + "\\DICT.DIC", MakeDictionaryContainer(kDictionary)));
    files_->readOnlyFolder = work_;
    EXPECT_EQ(0, LoadStringTable(*state_, platform_));
    ASSERT_EQ(2u, messages_.shown.size()) << "the extraction's message, then the loader's";
    ExpectOneError(kDamaged);
    EXPECT_TRUE(FileExists(work_ + "\\DICT.DIC"));
    EXPECT_FALSE(FileExists(temp_ + "\\DICT.DIC"));
}

TEST_P(StringTableLoadTest, ReadOnlyFolderAndNoTempFolderEndsWithCannotOpen) {
    files_->readOnlyFolder = work_;
    files_->tempFolder.clear();
    EXPECT_EQ(0, LoadStringTable(*state_, platform_));
    ASSERT_EQ(2u, messages_.shown.size());
    ExpectOneError(kCannotOpen);
}

TEST_P(StringTableLoadTest, CurrentFolderTooLongForThePaths) {
    // The folder itself fits its 259 bytes, but folder + "\TEMP.DIC" needs 261 of 260.
    files_->currentFolder = "C:\\" + std::string(248, 'd');
    ASSERT_EQ(251u, files_->currentFolder.size());
    EXPECT_EQ(0, LoadStringTable(*state_, platform_));
    ASSERT_EQ(1u, messages_.shown.size());
    ExpectOneError(kCannotOpen);
    EXPECT_TRUE(files_->created.empty()) << "nothing is written anywhere";

    messages_.shown.clear();
    files_->currentFolder = "C:\\" + std::string(300, 'd');  // does not even fit its buffer
    EXPECT_EQ(0, LoadStringTable(*state_, platform_));
    ASSERT_EQ(1u, messages_.shown.size());
    ExpectOneError(kCannotOpen);
    EXPECT_TRUE(files_->created.empty());
}

#ifndef _WIN32
TEST_P(StringTableLoadTest, CurrentFolderOfTheLongestLengthThatFits) {
    // 250 characters: folder + "\TEMP.DIC" fills its 260-byte buffer exactly.
    std::string folder = scratch_.path();
    while (folder.size() < 250) {
        size_t room = 250 - folder.size() - 1;
        folder += "\\" + std::string(room < 100 ? room : 100, 'f');
        ASSERT_TRUE(files_->CreateFolder(folder.c_str())) << folder;
    }
    ASSERT_EQ(250u, folder.size());
    files_->currentFolder = folder;
    EXPECT_EQ(1, LoadStringTable(*state_, platform_));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(folder + "\\DICT.DIC", files_->created.front());
    EXPECT_EQ(3, state_->strings.count);
}
#endif

INSTANTIATE_TEST_SUITE_P(Stores, StringTableLoadTest, ::testing::ValuesIn(Kinds()),
                         [](const ::testing::TestParamInfo<StoreKind>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
