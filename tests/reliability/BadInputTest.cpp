// Bad input that other tests do not already cover, over real files in scratch folders: what the
// user is told, the result, and that nothing outside the target folder changes and nothing
// installed earlier is lost. docs/threat-model.md lists every case and the test that covers it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "doubles/Doubles.h"
#include "doubles/InstallDoubles.h"
#include "doubles/Scratch.h"
#include "doubles/TestDictionary.h"
#include "install/InstallSequence.h"
#include "install/TestPayload.h"
#include "package/ArchiveBytes.h"
#include "package/DictionaryContainer.h"
#include "package/PayloadArchive.h"
#include "package/LocalizedTexts.h"
#include "platform/MemoryResourceStore.h"
#include "records/SetupState.h"

namespace {

using ByteVector = std::vector<unsigned char>;
WindowHandle const kDialog = reinterpret_cast<WindowHandle>(0xD1A);

// Every file below folder with its content, paths relative to it: a snapshot to compare.
std::vector<std::pair<std::string, std::string>> Snapshot(const std::string& folder) {
    std::string native = folder;
#ifndef _WIN32
    std::replace(native.begin(), native.end(), '\\', '/');
#endif
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(native)) {
        std::string relative = std::filesystem::relative(entry.path(), native).generic_string();
        files.push_back({relative, entry.is_regular_file() ? ReadFileText(folder + "\\" + relative)
                                                           : std::string("<folder>")});
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A scratch folder holding the target folder, a file beside it that nothing may touch and a file
// of an earlier installation inside it.
class ArchiveInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = MakeTestFileSystem(scratch_.path());
        target_ = scratch_.Join("target");
        ASSERT_TRUE(files_->CreateFolder(target_.c_str()));
        ASSERT_TRUE(WriteFileText(scratch_.Join("BESIDE.TXT"), "beside"));
        ASSERT_TRUE(WriteFileText(target_ + "\\EARLIER.DLL", "installed earlier"));
        platform_.files = files_.get();
        platform_.messages = &messages_;
        platform_.progress = &progress_;
    }
    int Extract(const ByteVector& archive, int divisor = 25, int start = 40) {
        EXPECT_TRUE(WriteFileBytes(target_ + "\\RESOURCE.DAT", archive));
        before_ = Snapshot(scratch_.path());
        return ExtractPayloadArchive(platform_, kDialog, target_.c_str(), "RESOURCE.DAT", divisor,
                                     start);
    }
    // What changed below the scratch folder, outside the target folder.
    void ExpectNothingOutsideChanged() {
        auto outside = [](const std::vector<std::pair<std::string, std::string>>& all) {
            std::vector<std::pair<std::string, std::string>> kept;
            for (const auto& file : all) {
                if (file.first.rfind("target/", 0) != 0) {
                    kept.push_back(file);
                }
            }
            return kept;
        };
        EXPECT_EQ(outside(before_), outside(Snapshot(scratch_.path())));
        EXPECT_EQ("installed earlier", ReadFileText(target_ + "\\EARLIER.DLL"));
    }

    ScratchFolder scratch_;
    std::unique_ptr<FileSystem> files_;
    std::string target_;
    RecordingMessageBoxes messages_;
    RecordingProgressBar progress_;
    Platform platform_;
    std::vector<std::pair<std::string, std::string>> before_;
};

// Windows file names ignore case: the later entry replaces the earlier one, as two entries of
// the same name do. Natively both files are written.
TEST_F(ArchiveInputTest, EntriesDifferingOnlyInCase) {
    ByteVector archive = RecordBytes("Song.kar", Bytes("first"));
    Append(&archive, RecordBytes("SONG.KAR", Bytes("second")));
    EXPECT_EQ(1, Extract(archive));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ("second", ReadFileText(target_ + "\\SONG.KAR"));
#ifdef _WIN32
    EXPECT_EQ("second", ReadFileText(target_ + "\\Song.kar"));
#else
    EXPECT_EQ("first", ReadFileText(target_ + "\\Song.kar"));
#endif
    EXPECT_FALSE(FileExists(target_ + "\\RESOURCE.DAT"));
    ExpectNothingOutsideChanged();
}

// 11 bytes against a divisor of 25: the step would be 0, so each content byte moves the bar once.
// A divisor of 0 (or below) counts as 1: the whole archive is one step, so the bar stays at the
// start instead of the extraction dividing by zero.
TEST_F(ArchiveInputTest, ArchiveShorterThanTheDivisorAndDivisorsBelowOne) {
    ByteVector archive = RecordBytes("A", Bytes("x"), 10);
    ASSERT_EQ(11u, archive.size());
    EXPECT_EQ(1, Extract(archive));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ((std::vector<int>{41}), progress_.Positions());
    EXPECT_EQ("x", ReadFileText(target_ + "\\A"));
    ExpectNothingOutsideChanged();

    for (int divisor : {0, -7}) {
        progress_.calls.clear();
        ByteVector two = RecordBytes("B", Bytes("first"));
        Append(&two, RecordBytes("C", Bytes("second")));
        EXPECT_EQ(1, Extract(two, divisor, 40)) << divisor;
        EXPECT_TRUE(messages_.shown.empty()) << divisor;
        EXPECT_EQ((std::vector<int>{40, 40}), progress_.Positions()) << divisor;
        EXPECT_EQ("first", ReadFileText(target_ + "\\B")) << divisor;
        EXPECT_EQ("second", ReadFileText(target_ + "\\C")) << divisor;
        ExpectNothingOutsideChanged();
    }
}

// An entry that overwrites the earlier installation's file is the installer's right; one that
// names a folder there cannot be written and is reported while the rest goes on.
TEST_F(ArchiveInputTest, EntryWhereAFolderStands) {
    ASSERT_TRUE(files_->CreateFolder((target_ + "\\SONGS").c_str()));
    ByteVector archive = RecordBytes("SONGS", Bytes("not a folder"));
    Append(&archive, RecordBytes("EARLIER.DLL", Bytes("installed now")));
    EXPECT_EQ(1, Extract(archive));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(target_ + "\\SONGS", messages_.shown[0].text);
    EXPECT_EQ("ERRORE DI SCRITTURA", messages_.shown[0].caption);
    EXPECT_EQ("installed now", ReadFileText(target_ + "\\EARLIER.DLL"));
}

// A dictionary of more than 1 MiB: the container checks pass, the plain text comes back whole,
// and the table cuts the long text to its field.
TEST(DictionaryInputTest, PayloadOverOneMebibyte) {
    ScratchFolder scratch;
    std::string longText(1024 * 1024 + 1, 'w');
    std::string plain = "[ENUMKEYS]\r\nK0=LONG\r\nK1=SHORT\r\n[ENGLISH]\r\nLONG=" + longText +
                        "\r\nSHORT=short\r\n";
    ASSERT_GT(plain.size(), 1024u * 1024u);
    ByteVector container = MakeDictionaryContainer(plain);
    ASSERT_TRUE(WriteFileBytes(scratch.Join("DICT.DIC"), container));
    std::unique_ptr<FileSystem> files = MakeTestFileSystem(scratch.path());
    DictionaryStatus status = DictionaryStatus::kCannotOpen;
    ASSERT_EQ(1, UnscrambleDictionary(*files, scratch.Join("DICT.DIC").c_str(),
                                      scratch.Join("TEMP.DIC").c_str(), &status));
    EXPECT_EQ(plain, ReadFileText(scratch.Join("TEMP.DIC")));

    auto table = std::make_unique<StringTable>();
    std::unique_ptr<ProfileStore> profile = MakeTestProfileStore(scratch.path());
    EXPECT_EQ(2, ReadStringTable(*table, *profile, scratch.Join("TEMP.DIC").c_str(), "ENGLISH"));
    EXPECT_EQ(std::string(510, 'w'), LookupString(*table, "LONG"));
    EXPECT_STREQ("short", LookupString(*table, "SHORT"));
}

void PutLittleEndian32(ByteVector* bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        (*bytes)[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// Containers of 0 to 7 bytes, including those whose length field holds their length minus 8
// as a 32-bit value; a length or a checksum off by one either way. All fail; only the checksum
// failures leave the payload in the plain file.
TEST(DictionaryInputTest, ShortContainersAndFieldsOffByOne) {
    ScratchFolder scratch;
    std::unique_ptr<FileSystem> files = MakeTestFileSystem(scratch.path());
    auto unscramble = [&](const ByteVector& container, DictionaryStatus* status) {
        EXPECT_TRUE(WriteFileBytes(scratch.Join("DICT.DIC"), container));
        return UnscrambleDictionary(*files, scratch.Join("DICT.DIC").c_str(),
                                    scratch.Join("TEMP.DIC").c_str(), status);
    };
    for (size_t size = 0; size < 8; ++size) {
        for (bool wrapped : {false, true}) {
            SCOPED_TRACE(std::to_string(size) + (wrapped ? " bytes, N = size - 8" : " bytes"));
            ByteVector container(size, 0);
            if (wrapped && size >= 4) {
                PutLittleEndian32(&container, 0, static_cast<uint32_t>(size - 8));
            }
            DictionaryStatus status = DictionaryStatus::kOk;
            EXPECT_EQ(0, unscramble(container, &status));
            EXPECT_EQ(DictionaryStatus::kBadLength, status);
            EXPECT_EQ("", ReadFileText(scratch.Join("TEMP.DIC")));
        }
    }
    const std::string plain = "[ENUMKEYS]\r\nK0=A\r\n";
    const ByteVector good = MakeDictionaryContainer(plain);
    uint32_t length = static_cast<uint32_t>(plain.size());
    uint32_t sum = 0;
    for (size_t i = 8; i < good.size(); ++i) {
        sum += good[i];
    }
    struct Row {
        uint32_t length;
        uint32_t checksum;
        DictionaryStatus expected;
    };
    const Row rows[] = {
        {length, sum, DictionaryStatus::kOk},
        {length + 1, sum, DictionaryStatus::kBadLength},
        {length - 1, sum, DictionaryStatus::kBadLength},
        {length, sum + 1, DictionaryStatus::kBadChecksum},
        {length, sum - 1, DictionaryStatus::kBadChecksum},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.length) + " " + std::to_string(row.checksum));
        ByteVector container = good;
        PutLittleEndian32(&container, 0, row.length);
        PutLittleEndian32(&container, 4, row.checksum);
        DictionaryStatus status = DictionaryStatus::kCannotOpen;
        EXPECT_EQ(row.expected == DictionaryStatus::kOk ? 1 : 0, unscramble(container, &status));
        EXPECT_EQ(row.expected, status);
        EXPECT_EQ(row.expected == DictionaryStatus::kBadLength ? "" : plain,
                  ReadFileText(scratch.Join("TEMP.DIC")));
    }
}

// A settings store that cannot be written: reads work, every write fails.
class ReadOnlyProfileStore : public ProfileStore {
public:
    explicit ReadOnlyProfileStore(ProfileStore& inner) : inner_(inner) {}
    size_t ReadString(const char* section, const char* key, const char* defaultValue, char* out,
                      size_t size, const char* file) override {
        return inner_.ReadString(section, key, defaultValue, out, size, file);
    }
    int WriteString(const char* section, const char*, const char*, const char*) override {
        refusedWrites.push_back(section);
        return 0;
    }
    std::vector<std::string> refusedWrites;

private:
    ProfileStore& inner_;
};

// A settings file that cannot be written, left by an earlier run: its language is still used,
// the load succeeds, the file keeps what it held and the working files are gone.
TEST(SettingsInputTest, ReadOnlySettingsFileStillGivesItsLanguage) {
    ScratchFolder scratch;
    std::string windows = scratch.Join("WINDOWS");
    std::string work = scratch.Join("work");
    auto real = MakeTestFileSystem(windows);
    ASSERT_TRUE(real->CreateFolder(windows.c_str()));
    ASSERT_TRUE(real->CreateFolder(work.c_str()));
    const std::string settings = "[SETTINGS]\r\nCURRLANGUAGE=ENGLISH\r\n[OLD]\r\nKEY=1\r\n";
    ASSERT_TRUE(WriteFileText(windows + "\\ZarBelPC.INI", settings));

    WorkFolderFiles files(std::move(real));
    files.currentFolder = work;
    files.tempFolder = work;
    std::unique_ptr<ProfileStore> inner = MakeTestProfileStore(windows);
    ReadOnlyProfileStore profile(*inner);
    MemoryResourceStore resources;
    resources.Add("PLAINEXTRACT", "DICT.DIC", MakeDictionaryContainer(kSmallDictionary));
    RecordingMessageBoxes messages;
    Platform platform;
    platform.files = &files;
    platform.profile = &profile;
    platform.resources = &resources;
    platform.messages = &messages;
    auto state = std::make_unique<SetupState>();
    InitSetupState(*state);

    EXPECT_EQ(1, LoadStringTable(*state, platform));
    EXPECT_STREQ("ENGLISH", state->language);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ((std::vector<std::string>{"SETTINGS"}), profile.refusedWrites);
    EXPECT_EQ(settings, ReadFileText(windows + "\\ZarBelPC.INI"));
    EXPECT_FALSE(FileExists(work + "\\DICT.DIC"));
    EXPECT_FALSE(FileExists(work + "\\TEMP.DIC"));
}

}  // namespace
