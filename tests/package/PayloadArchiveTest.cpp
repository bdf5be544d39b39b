// Unpacking the payload archive: entries, progress, messages, and the damage that stops it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "doubles/Doubles.h"
#include "doubles/Scratch.h"
#include "package/ArchiveBytes.h"
#include "package/MemoryFiles.h"
#include "package/PayloadArchive.h"

namespace {

WindowHandle const kDialog = reinterpret_cast<WindowHandle>(0xD1A2);

std::vector<unsigned char> Content(size_t size, unsigned seed) {
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>((i * 13 + seed * 101 + i / 253) & 0xFF);
    }
    return bytes;
}

class PayloadArchiveFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files_ = MakeTestFileSystem(scratch_.path());
        platform_.files = files_.get();
        platform_.messages = &messages_;
        platform_.progress = &progress_;
    }
    std::string ArchivePath() const { return scratch_.Join("RESOURCE.DAT"); }
    int Extract(const std::vector<unsigned char>& archive, int divisor = 30, int start = 40) {
        EXPECT_TRUE(WriteFileBytes(ArchivePath(), archive));
        return ExtractPayloadArchive(platform_, kDialog, scratch_.path().c_str(), "RESOURCE.DAT",
                                     divisor, start);
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
    Platform platform_;
};

TEST_F(PayloadArchiveFileTest, UnpacksEveryEntryAndDeletesTheArchive) {
    std::vector<unsigned char> archive;
    Append(&archive, RecordBytes("A.TXT", Bytes("abc")));
    Append(&archive, RecordBytes("EMPTY.DAT", {}));
    Append(&archive, RecordBytes("big.bin", Content(70000, 1)));
    Append(&archive, RecordBytes("Twice.txt", Bytes("first")));
    Append(&archive, RecordBytes("Twice.txt", Bytes("second")));
    ASSERT_TRUE(WriteFileText(scratch_.Join("A.TXT"), "an older and longer file"));

    EXPECT_EQ(1, Extract(archive));
    EXPECT_EQ(Bytes("abc"), Read("A.TXT"));
    EXPECT_TRUE(Read("EMPTY.DAT").empty());
    EXPECT_EQ(Content(70000, 1), Read("big.bin"));
    EXPECT_EQ(Bytes("second"), Read("Twice.txt"));
    EXPECT_FALSE(FileExists(ArchivePath()));
    EXPECT_TRUE(messages_.shown.empty());
    // One position per record from content bytes only: the step is the archive length / 30.
    int step = static_cast<int>(archive.size()) / 30;
    EXPECT_EQ((std::vector<int>{40 + 3 / step, 40 + 3 / step, 40 + 70003 / step, 40 + 70008 / step,
                                40 + 70014 / step}),
              progress_.Positions());
    for (const ProgressCall& call : progress_.calls) {
        EXPECT_EQ(kDialog, call.dialog);
    }
}

TEST_F(PayloadArchiveFileTest, EmptyArchiveExtractsNothingAndIsDeleted) {
    EXPECT_EQ(1, Extract({}));
    EXPECT_FALSE(FileExists(ArchivePath()));
    EXPECT_TRUE(progress_.calls.empty());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(PayloadArchiveFileTest, MissingArchiveNamesResourceDatWhateverWasAsked) {
    EXPECT_EQ(
        0, ExtractPayloadArchive(platform_, kDialog, scratch_.path().c_str(), "OTHER.DAT", 30, 40));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(kDialog, messages_.shown[0].owner);
    EXPECT_EQ("Impossibile accedere al file RESOURCE.DAT", messages_.shown[0].text);
    EXPECT_EQ("ZarBelPC - Setup", messages_.shown[0].caption);
    EXPECT_EQ(kMbIconError, messages_.shown[0].type);
    EXPECT_TRUE(progress_.calls.empty());
}

}  // namespace
