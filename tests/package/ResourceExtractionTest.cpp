// Writing a resource to a file: the bytes, the messages and the exact progress sequence.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/Doubles.h"
#include "doubles/Scratch.h"
#include "package/MemoryFiles.h"
#include "package/ResourceExtraction.h"
#include "platform/MemoryResourceStore.h"

namespace {

WindowHandle const kDialog = reinterpret_cast<WindowHandle>(0xD1A1);

std::vector<unsigned char> Pattern(size_t size) {
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> out;
    for (int i = first; i <= last; ++i) {
        out.push_back(i);
    }
    return out;
}

// Extraction into memory, where every notification carries the byte count it was sent at.
struct MemoryRun {
    MemoryFileSystem files;
    ByteCountingProgressBar progress{files};
    RecordingMessageBoxes messages;
    MemoryResourceStore resources;
    Platform platform;
    MemoryRun() {
        platform.files = &files;
        platform.progress = &progress;
        platform.messages = &messages;
        platform.resources = &resources;
    }
};

// The rule as it reads, one byte at a time: write byte i, then notify when
// (size - 1 - i) mod step is 0. A step of 0 (resource smaller than the divisor) is taken as 1.
void ByteByByteReference(const std::vector<unsigned char>& bytes, unsigned divisor, int start,
                         MemoryFileSystem* files, ByteCountingProgressBar* progress) {
    uint32_t size = static_cast<uint32_t>(bytes.size());
    uint32_t step = size / divisor;
    if (step == 0) {
        step = 1;
    }
    std::unique_ptr<WriteStream> out = files->Create("C:\\ref\\FILE.BIN");
    int position = start;
    for (uint32_t i = 0; i < size; ++i) {
        out->Write(&bytes[i], 1);
        if ((size - 1 - i) % step == 0) {
            progress->SetPosition(kDialog, position);
            ++position;
        }
    }
    out->Close();
}

TEST(ResourceExtractionTest, BlockCopyMatchesTheByteByByteRule) {
    const std::vector<uint32_t> sizes = {0,   1,   2,   3,   5,   19,   20,   21,   39,  40,
                                         41,  99,  100, 101, 399, 400,  401,  402,  419, 420,
                                         421, 799, 800, 801, 997, 1000, 4096, 10007};
    const std::vector<unsigned> divisors = {1, 2, 3, 7, 20, 30, 64, 100, 101, 1000};
    for (uint32_t size : sizes) {
        for (unsigned divisor : divisors) {
            SCOPED_TRACE("size " + std::to_string(size) + ", divisor " + std::to_string(divisor));
            std::vector<unsigned char> bytes = Pattern(size);
            MemoryRun run;
            run.resources.Add("PLAINEXTRACT", "FILE.BIN", bytes);
            ASSERT_EQ(1, ExtractResourceToFile(run.platform, "C:\\x\\FILE.BIN", "PlainExtract",
                                               "FILE.BIN", kDialog, divisor, 20));
            MemoryFileSystem refFiles;
            ByteCountingProgressBar refProgress(refFiles);
            ByteByByteReference(bytes, divisor, 20, &refFiles, &refProgress);

            EXPECT_EQ(refFiles.files["C:\\ref\\FILE.BIN"], run.files.files["C:\\x\\FILE.BIN"]);
            EXPECT_EQ(refProgress.sent, run.progress.sent);
            EXPECT_TRUE(run.messages.shown.empty());
        }
    }
}

TEST(ResourceExtractionTest, EdgeSizesSendTheDocumentedPositions) {
    struct Row {
        uint32_t size;
        unsigned divisor;
        int start;
        std::vector<int> positions;
        uint64_t firstAfter;  // bytes written when the first position was sent
    };
    const Row rows[] = {
        // An exact multiple of the divisor (at least divisor x divisor): start .. start+divisor-1.
        {400, 20, 20, Range(20, 39), 20},
        // One byte more: the first position follows the first byte, then start+divisor is reached.
        {401, 20, 20, Range(20, 40), 1},
        {900, 30, 40, Range(40, 69), 30},
        {901, 30, 40, Range(40, 70), 1},
        {0, 20, 20, {}, 0},
        // Smaller than the divisor: a step of 1, one position per byte.
        {5, 20, 7, Range(7, 11), 1},
        // Divisor 0 counts as 1: the whole resource is one step.
        {50, 0, 3, {3}, 50},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("size " + std::to_string(row.size) + ", divisor " +
                     std::to_string(row.divisor));
        MemoryRun run;
        run.resources.Add("PLAINEXTRACT", "F", Pattern(row.size));
        ASSERT_EQ(1, ExtractResourceToFile(run.platform, "C:\\x\\F", "PlainExtract", "F", kDialog,
                                           row.divisor, row.start));
        std::vector<int> positions;
        for (const auto& notification : run.progress.sent) {
            positions.push_back(notification.position);
        }
        EXPECT_EQ(row.positions, positions);
        if (!run.progress.sent.empty()) {
            EXPECT_EQ(row.firstAfter, run.progress.sent.front().byteCount);
            EXPECT_EQ(row.size, run.progress.sent.back().byteCount);
        }
        for (WindowHandle dialog : run.progress.dialogs) {
            EXPECT_EQ(kDialog, dialog);
        }
        EXPECT_EQ(Pattern(row.size), run.files.files["C:\\x\\F"]);
    }
}

TEST(ResourceExtractionTest, ShippedArchiveSizeSends21PositionsFrom20To40) {
    const uint32_t kShippedSize = 10561486;
    MemoryRun run;
    run.resources.Add("PLAINEXTRACT", "RESOURCE.DAT", Pattern(kShippedSize));
    ASSERT_EQ(1, ExtractResourceToFile(run.platform, "C:\\ZarBelPC\\RESOURCE.DAT", "PlainExtract",
                                       "RESOURCE.DAT", kDialog, 20, 20));
    ASSERT_EQ(21u, run.progress.sent.size());
    for (size_t i = 0; i < run.progress.sent.size(); ++i) {
        EXPECT_EQ(20 + static_cast<int>(i), run.progress.sent[i].position);
        // The step is 528,074: the first position after byte 6, then every step bytes.
        EXPECT_EQ(6u + 528074u * i, run.progress.sent[i].byteCount);
    }
    EXPECT_EQ(Pattern(kShippedSize), run.files.files["C:\\ZarBelPC\\RESOURCE.DAT"]);
    // One write per notification, nothing byte by byte.
    EXPECT_EQ(21u, run.files.writeSizes.size());
}

class ResourceExtractionFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = MakeTestFileSystem(scratch_.path());
        platform_.files = files_.get();
        platform_.messages = &messages_;
        platform_.progress = &progress_;
        platform_.resources = &resources_;
    }
    int Extract(const std::string& target, const char* type, const char* name,
                WindowHandle window) {
        return ExtractResourceToFile(platform_, target.c_str(), type, name, window, 20, 20);
    }

    ScratchFolder scratch_;
    std::unique_ptr<FileSystem> files_;
    RecordingMessageBoxes messages_;
    RecordingProgressBar progress_;
    MemoryResourceStore resources_;
    Platform platform_;
};

TEST_F(ResourceExtractionFileTest, WritesTheResourceAndTruncatesAnExistingFile) {
    resources_.Add("PLAINEXTRACT", "DICT.DIC", Pattern(1000));
    std::string target = scratch_.Join("DICT.DIC");
    ASSERT_TRUE(WriteFileBytes(target, std::vector<unsigned char>(5000, 0xEE)));

    // Any mix of letter case finds the entry stored upper-case.
    EXPECT_EQ(1, Extract(target, "plainEXTRACT", "dict.dic", kDialog));
    std::vector<unsigned char> written;
    ASSERT_TRUE(ReadFileBytes(target, &written));
    EXPECT_EQ(Pattern(1000), written);
    EXPECT_EQ(Range(20, 39), progress_.Positions());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(ResourceExtractionFileTest, WithoutAWindowTheFileIsTheSameAndNothingIsSent) {
    resources_.Add("PLAINEXTRACT", "DICT.DIC", Pattern(46169));
    std::string target = scratch_.Join("DICT.DIC");
    EXPECT_EQ(1, Extract(target, "PlainExtract", "DICT.DIC", nullptr));
    std::vector<unsigned char> written;
    ASSERT_TRUE(ReadFileBytes(target, &written));
    EXPECT_EQ(Pattern(46169), written);
    EXPECT_TRUE(progress_.calls.empty());
}

TEST_F(ResourceExtractionFileTest, EmptyResourceGivesAnEmptyFile) {
    resources_.Add("PLAINEXTRACT", "EMPTY", {});
    std::string target = scratch_.Join("EMPTY");
    EXPECT_EQ(1, Extract(target, "PlainExtract", "EMPTY", kDialog));
    std::vector<unsigned char> written{1};
    ASSERT_TRUE(ReadFileBytes(target, &written));
    EXPECT_TRUE(written.empty());
    EXPECT_TRUE(progress_.calls.empty());
}

TEST_F(ResourceExtractionFileTest, MissingResourceNamesNameThenTypeAndWritesNothing) {
    resources_.Add("RTF", "DICT.DIC", Pattern(10));
    std::string target = scratch_.Join("DICT.DIC");
    EXPECT_EQ(0, Extract(target, "PlainExtract", "DICT.DIC", kDialog));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(nullptr, messages_.shown[0].owner);
    EXPECT_EQ("Can't find resource attach 'DICT.DIC':'PlainExtract'\n", messages_.shown[0].text);
    EXPECT_EQ("Error: Filecopy", messages_.shown[0].caption);
    EXPECT_EQ(kMbIconError, messages_.shown[0].type);
    EXPECT_FALSE(FileExists(target));
    EXPECT_TRUE(progress_.calls.empty());
}

TEST_F(ResourceExtractionFileTest, TargetInAMissingFolderIsReported) {
    resources_.Add("PLAINEXTRACT", "RESOURCE.DAT", Pattern(10));
    std::string target = scratch_.Join("missing") + "\\RESOURCE.DAT";
    EXPECT_EQ(0, Extract(target, "PlainExtract", "RESOURCE.DAT", kDialog));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(nullptr, messages_.shown[0].owner);
    EXPECT_EQ("Can't create '" + target + "'\n", messages_.shown[0].text);
    EXPECT_EQ("Error: Filecopy", messages_.shown[0].caption);
    EXPECT_EQ(kMbIconError, messages_.shown[0].type);
    EXPECT_TRUE(progress_.calls.empty());
}

TEST(ResourceExtractionTest, VeryLongPathIsCutToTheMessageBuffer) {
    MemoryRun run;
    run.resources.Add("PLAINEXTRACT", "F", Pattern(3));
    std::string target = "C:\\" + std::string(400, 'd') + "\\F";
    run.files.refused.push_back(target);
    EXPECT_EQ(0, ExtractResourceToFile(run.platform, target.c_str(), "PlainExtract", "F", kDialog,
                                       20, 20));
    ASSERT_EQ(1u, run.messages.shown.size());
    EXPECT_EQ(255u, run.messages.shown[0].text.size());
    EXPECT_EQ(("Can't create '" + target).substr(0, 255), run.messages.shown[0].text);
}

TEST(ResourceExtractionTest, ShortWriteFailsRemovesThePartialFileAndSaysSo) {
    struct Row {
        int64_t capacity;
        bool failClose;
    };
    // A disk that fills in the middle, at once, at the last byte, and a flush that fails.
    const Row rows[] = {{500, false}, {0, false}, {999, false}, {-1, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE("capacity " + std::to_string(row.capacity));
        MemoryRun run;
        run.resources.Add("PLAINEXTRACT", "RESOURCE.DAT", Pattern(1000));
        run.files.capacity = row.capacity;
        run.files.failClose = row.failClose;
        const char* target = "C:\\ZarBelPC\\RESOURCE.DAT";
        EXPECT_EQ(0, ExtractResourceToFile(run.platform, target, "PlainExtract", "RESOURCE.DAT",
                                           kDialog, 20, 20));
        EXPECT_FALSE(run.files.Exists(target));
        ASSERT_EQ(1u, run.messages.shown.size());
        EXPECT_EQ(nullptr, run.messages.shown[0].owner);
        EXPECT_EQ("Can't write 'C:\\ZarBelPC\\RESOURCE.DAT'\n", run.messages.shown[0].text);
        EXPECT_EQ("Error: Filecopy", run.messages.shown[0].caption);
        EXPECT_EQ(kMbIconError, run.messages.shown[0].type);
        // No position is sent for bytes that did not reach the disk.
        if (row.capacity >= 0) {
            for (const auto& notification : run.progress.sent) {
                EXPECT_LE(notification.byteCount, static_cast<uint64_t>(row.capacity));
            }
        }
    }
}

}  // namespace
