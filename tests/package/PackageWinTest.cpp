// The module resource store and the whole extraction chain against the real API: resources
// embedded by windres, an archive packed by zbpack, files written through the Win32 adapter.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/Doubles.h"
#include "doubles/Scratch.h"
#include "package/PayloadArchive.h"
#include "package/ResourceExtraction.h"
#include "platform/ResourceStore.h"
#include "platform/Win32Adapters.h"

namespace {

WindowHandle const kDialog = reinterpret_cast<WindowHandle>(0xD1A3);

std::string TextPattern() {
    std::string text;
    for (int i = 0; i < 6250; ++i) {
        text += "0123456789abcdef";
    }
    return text;
}

std::vector<unsigned char> Bytes(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}

TEST(Win32ResourceStoreTest, FindsTheUpperCaseTypeAndNameInAnyCase) {
    Win32ResourceStore store(nullptr);
    const std::string expected = TextPattern();
    const char* const types[] = {"PlainExtract", "PLAINEXTRACT", "plainextract", "pLAINeXTRACT"};
    const char* const names[] = {"TEXT.BIN", "text.bin", "Text.Bin"};
    for (const char* type : types) {
        for (const char* name : names) {
            SCOPED_TRACE(std::string(type) + " " + name);
            ResourceBlock block{nullptr, 0};
            ASSERT_EQ(1, store.Find(type, name, &block));
            ASSERT_EQ(100000u, block.size);
            EXPECT_EQ(expected, std::string(reinterpret_cast<const char*>(block.data), block.size));
        }
    }
}

TEST(Win32ResourceStoreTest, EntriesAreStoredUnderLanguage1040) {
    // The lookup names no language and still finds entries that exist only in Italian.
    EXPECT_NE(nullptr, FindResourceExA(nullptr, "PLAINEXTRACT", "TEXT.BIN",
                                       MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN)));
    EXPECT_EQ(nullptr, FindResourceExA(nullptr, "PLAINEXTRACT", "TEXT.BIN",
                                       MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
    ResourceBlock block{nullptr, 0};
    EXPECT_EQ(1, Win32ResourceStore(nullptr).Find("PlainExtract", "RESOURCE.DAT", &block));
}

TEST(Win32ResourceStoreTest, EachStoreReadsItsOwnModule) {
    // Made in either order, a store over another module finds none of this program's entries.
    Win32ResourceStore own(nullptr);
    Win32ResourceStore kernel(GetModuleHandleA("kernel32.dll"));
    Win32ResourceStore ownAgain(GetModuleHandleA(nullptr));
    ResourceBlock block{nullptr, 0};
    EXPECT_EQ(1, own.Find("PlainExtract", "TEXT.BIN", &block));
    EXPECT_EQ(0, kernel.Find("PlainExtract", "TEXT.BIN", &block));
    EXPECT_EQ(1, ownAgain.Find("PlainExtract", "TEXT.BIN", &block));
}

TEST(Win32ResourceStoreTest, BinaryAndEmptyEntriesAndMisses) {
    Win32ResourceStore store(nullptr);
    ResourceBlock block{nullptr, 0};
    ASSERT_EQ(1, store.Find("PlainExtract", "BYTES.BIN", &block));
    const std::vector<unsigned char> bytes = {0x00, 0x01, 0x7F, 0xFF, 0x0A, 0x0D, 0x1A, 0x0A};
    EXPECT_EQ(bytes, std::vector<unsigned char>(block.data, block.data + block.size));

    ASSERT_EQ(1, store.Find("PlainExtract", "EMPTY.BIN", &block));
    EXPECT_EQ(0u, block.size);

    EXPECT_EQ(0, store.Find("PlainExtract", "DICT.DIC", &block));
    // The type is part of the key: an RTF entry is not found as PlainExtract, nor the reverse.
    EXPECT_EQ(0, store.Find("PlainExtract", "INSTALL_UK.RTF", &block));
    EXPECT_EQ(0, store.Find("RTF", "TEXT.BIN", &block));
    EXPECT_EQ(1, store.Find("rtf", "install_uk.rtf", &block));
}

class ExtractionChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = MakeTestFileSystem(scratch_.path());
        platform_.files = files_.get();
        platform_.messages = &messages_;
        platform_.progress = &progress_;
        platform_.resources = &resources_;
    }
    std::vector<unsigned char> Read(const std::string& name) {
        std::vector<unsigned char> bytes;
        EXPECT_TRUE(ReadFileBytes(scratch_.Join(name), &bytes)) << name;
        return bytes;
    }

    ScratchFolder scratch_;
    std::unique_ptr<FileSystem> files_;
    RecordingMessageBoxes messages_;
    RecordingProgressBar progress_;
    Win32ResourceStore resources_{nullptr};
    Platform platform_;
};

TEST_F(ExtractionChainTest, ResourcesReachTheDiskUnchanged) {
    std::string target = scratch_.Join("TEXT.BIN");
    EXPECT_EQ(1, ExtractResourceToFile(platform_, target.c_str(), "PlainExtract", "TEXT.BIN",
                                       kDialog, 20, 20));
    EXPECT_EQ(Bytes(TextPattern()), Read("TEXT.BIN"));
    // 100,000 bytes in steps of 5,000: positions 20 to 39.
    std::vector<int> positions;
    for (int p = 20; p <= 39; ++p) {
        positions.push_back(p);
    }
    EXPECT_EQ(positions, progress_.Positions());

    EXPECT_EQ(1, ExtractResourceToFile(platform_, scratch_.Join("BYTES.BIN").c_str(),
                                       "plainextract", "bytes.bin", nullptr, 20, 20));
    EXPECT_EQ((std::vector<unsigned char>{0x00, 0x01, 0x7F, 0xFF, 0x0A, 0x0D, 0x1A, 0x0A}),
              Read("BYTES.BIN"));
    EXPECT_EQ(1, ExtractResourceToFile(platform_, scratch_.Join("EMPTY.BIN").c_str(),
                                       "PlainExtract", "EMPTY.BIN", nullptr, 20, 20));
    EXPECT_TRUE(Read("EMPTY.BIN").empty());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(ExtractionChainTest, MissingResourceIsReportedAndLeavesNoFile) {
    std::string target = scratch_.Join("DICT.DIC");
    EXPECT_EQ(0, ExtractResourceToFile(platform_, target.c_str(), "PlainExtract", "DICT.DIC",
                                       kDialog, 20, 20));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ("Can't find resource attach 'DICT.DIC':'PlainExtract'\n", messages_.shown[0].text);
    EXPECT_FALSE(FileExists(target));
}

TEST_F(ExtractionChainTest, ArchivePackedByZbpackUnpacksFromTheResource) {
    std::string archive = scratch_.Join("RESOURCE.DAT");
    ASSERT_EQ(1, ExtractResourceToFile(platform_, archive.c_str(), "PlainExtract", "RESOURCE.DAT",
                                       kDialog, 20, 20));
    ASSERT_EQ(1, ExtractPayloadArchive(platform_, kDialog, scratch_.path().c_str(), "RESOURCE.DAT",
                                       30, 40));
    EXPECT_EQ(Bytes("abc"), Read("A.TXT"));
    EXPECT_EQ(Bytes("first line\r\nsecond line\n"), Read("notes.txt"));
    EXPECT_TRUE(Read("EMPTY.DAT").empty());
    EXPECT_FALSE(FileExists(archive));
    EXPECT_TRUE(messages_.shown.empty());
    // Three records after the resource's own positions; the last below 40 + 30.
    std::vector<int> positions = progress_.Positions();
    ASSERT_LE(3u, positions.size());
    EXPECT_GT(70, positions.back());
    EXPECT_LE(40, positions[positions.size() - 3]);
}

}  // namespace
