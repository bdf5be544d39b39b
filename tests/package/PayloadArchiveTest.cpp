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

namespace {

// Extraction over the in-memory file system, which also counts writes and can fill up.
struct MemoryRun {
    MemoryFileSystem files;
    ByteCountingProgressBar progress{files};
    RecordingMessageBoxes messages;
    Platform platform;
    MemoryRun() {
        platform.files = &files;
        platform.progress = &progress;
        platform.messages = &messages;
    }
    int Extract(const char* folder, const std::vector<unsigned char>& archive, int divisor = 30,
                int start = 40) {
        files.files[std::string(folder) + "\\RESOURCE.DAT"] = archive;
        return ExtractPayloadArchive(platform, kDialog, folder, "RESOURCE.DAT", divisor, start);
    }
    std::vector<int> Positions() const {
        std::vector<int> positions;
        for (const auto& notification : progress.sent) {
            positions.push_back(notification.position);
        }
        return positions;
    }
};

TEST(PayloadArchiveTest, DamagedArchiveStopsKeepsTheArchiveAndFails) {
    struct Row {
        const char* what;
        std::vector<unsigned char> damagedRecord;
        // A record cut short can only be the last thing in the archive.
        bool last;
    };
    std::vector<unsigned char> noNul = RecordBytes(std::string(256, 'N'), Bytes("x"));
    std::vector<unsigned char> cutContent = RecordBytes("CUT.BIN", Content(100, 2));
    cutContent.resize(cutContent.size() - 1);
    std::vector<unsigned char> cutName = RecordBytes("CUT.BIN", Content(100, 2));
    cutName.resize(8 + 100);
    const Row rows[] = {
        {"1 byte left over", {0x01}, true},
        {"7 bytes left over", {0x01, 0, 0, 0, 0x08, 0x01, 0}, true},
        {"header length 7", RecordBytes("X", Bytes("x"), 7), false},
        {"header length 0", RecordBytes("X", Bytes("x"), 0), false},
        {"empty name field (no NUL)", RecordBytes("", Bytes("x"), 8), false},
        {"name field of 1025 bytes", RecordBytes("X", Bytes("x"), 8 + 1025), false},
        {"name field without NUL", noNul, false},
        {"data length 15,000,001", RecordBytes("HUGE.BIN", Content(15000001, 3)), false},
        {"ends inside the name field", cutName, true},
        {"ends inside the content", cutContent, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<unsigned char> archive = RecordBytes("FIRST.TXT", Bytes("first"));
        Append(&archive, row.damagedRecord);
        if (!row.last) {
            Append(&archive, RecordBytes("AFTER.TXT", Bytes("after")));
        }
        MemoryRun run;
        EXPECT_EQ(0, run.Extract("C:\\App", archive));

        EXPECT_EQ(Bytes("first"), run.files.files["C:\\App\\FIRST.TXT"]);
        EXPECT_FALSE(run.files.Exists("C:\\App\\AFTER.TXT"));
        EXPECT_EQ(archive, run.files.files["C:\\App\\RESOURCE.DAT"]);
        EXPECT_EQ(2u, run.files.files.size());  // the archive and FIRST.TXT
        ASSERT_EQ(1u, run.messages.shown.size());
        const ShownMessage& shown = run.messages.shown[0];
        EXPECT_EQ(kDialog, shown.owner);
        EXPECT_EQ("ZarBelPC - Setup", shown.caption);
        EXPECT_EQ(kMbIconError, shown.type);
        EXPECT_NE(std::string::npos, shown.text.find("RESOURCE.DAT is damaged"));
        // Only the intact record moved the bar.
        EXPECT_EQ(1u, run.progress.sent.size());
    }
}

TEST(PayloadArchiveTest, RecordsAtTheLimitsAreRead) {
    std::vector<unsigned char> archive;
    std::vector<unsigned char> largest = Content(15000000, 4);
    Append(&archive, RecordBytes("LARGEST.BIN", largest));
    // A name field of 1,024 bytes whose last byte is the NUL.
    Append(&archive, RecordBytes(std::string(200, 'n'), Bytes("long field"), 8 + 1024));
    MemoryRun run;
    EXPECT_EQ(1, run.Extract("C:\\App", archive));
    EXPECT_EQ(largest, run.files.files["C:\\App\\LARGEST.BIN"]);
    EXPECT_EQ(Bytes("long field"), run.files.files["C:\\App\\" + std::string(200, 'n')]);
    EXPECT_TRUE(run.messages.shown.empty());
}

// Names that leave the folder, open a device, lose their trailing dots or that Windows refuses:
// each is reported as an entry that cannot be created and the next entry is still written.
TEST(PayloadArchiveTest, NamesWindowsWouldNotStoreAsGivenAreReportedAndSkipped) {
    const char* const names[] = {
        "",         ".",       "..",        "..\\WINDOWS.INI", "sub\\x.txt",    "../x.txt",
        "/etc/x",   "C:x.txt", "C:\\x.txt", "a:stream",        "CON",           "nul.txt",
        "LPT1.log", "COM\xB9", "a?b",       "x\x01y",          "RESOURCE.DAT.", "NEXT.TXT ",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        std::vector<unsigned char> archive = RecordBytes(name, Bytes("evil"));
        Append(&archive, RecordBytes("NEXT.TXT", Bytes("next")));
        MemoryRun run;
        EXPECT_EQ(1, run.Extract("C:\\App", archive));
        ASSERT_EQ(1u, run.messages.shown.size());
        EXPECT_EQ(kDialog, run.messages.shown[0].owner);
        EXPECT_EQ(std::string("C:\\App\\") + name, run.messages.shown[0].text);
        EXPECT_EQ("ERRORE DI SCRITTURA", run.messages.shown[0].caption);
        EXPECT_EQ(kMbIconError, run.messages.shown[0].type);
        // Only the good entry was created; the archive is gone.
        EXPECT_EQ(1u, run.files.files.size());
        EXPECT_EQ(Bytes("next"), run.files.files["C:\\App\\NEXT.TXT"]);
        EXPECT_EQ(2u, run.progress.sent.size());
    }
}

TEST_F(PayloadArchiveFileTest, EscapingNamesWriteNothingOutsideTheFolder) {
    // The archive lies in an inner folder; names climbing out would land in the scratch folder.
    ASSERT_EQ(1, files_->CreateFolder(scratch_.Join("inner").c_str()));
    std::string inner = scratch_.Join("inner");
    std::vector<unsigned char> archive = RecordBytes("..\\OUT1.TXT", Bytes("evil"));
    Append(&archive, RecordBytes("../OUT2.TXT", Bytes("evil")));
    Append(&archive, RecordBytes("..", Bytes("evil")));
    Append(&archive, RecordBytes("IN.TXT", Bytes("good")));
    ASSERT_TRUE(WriteFileBytes(inner + "\\RESOURCE.DAT", archive));

    EXPECT_EQ(1, ExtractPayloadArchive(platform_, kDialog, inner.c_str(), "RESOURCE.DAT", 30, 40));
    EXPECT_FALSE(FileExists(scratch_.Join("OUT1.TXT")));
    EXPECT_FALSE(FileExists(scratch_.Join("OUT2.TXT")));
    EXPECT_EQ(Bytes("good"), Read("inner\\IN.TXT"));
    EXPECT_EQ(3u, messages_.shown.size());
}

// An entry named like the archive itself would empty the file that is still being read: the
// entries after it were lost and a damaged archive was not kept for the user to look at.
TEST_F(PayloadArchiveFileTest, EntryNamedLikeTheArchiveIsNotWritten) {
    std::vector<unsigned char> archive = RecordBytes("resource.dat", Bytes("x"));
    Append(&archive, RecordBytes("AFTER.TXT", Bytes("after")));
    EXPECT_EQ(1, Extract(archive));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(scratch_.path() + "\\resource.dat", messages_.shown[0].text);
    EXPECT_EQ("ERRORE DI SCRITTURA", messages_.shown[0].caption);
    EXPECT_EQ(Bytes("after"), Read("AFTER.TXT"));
    EXPECT_FALSE(FileExists(ArchivePath()));

    // Damaged after such an entry: the archive stays whole.
    archive = RecordBytes("RESOURCE.DAT", Bytes("x"));
    Append(&archive, RecordBytes("CUT.TXT", Bytes("cut short")));
    archive.resize(archive.size() - 3);
    EXPECT_EQ(0, Extract(archive));
    std::vector<unsigned char> kept;
    ASSERT_TRUE(ReadFileBytes(ArchivePath(), &kept));
    EXPECT_EQ(archive, kept);
}

TEST_F(PayloadArchiveFileTest, EntryThatCannotBeCreatedIsReportedAndTheRestIsWritten) {
    // A folder of the entry's name: the file cannot be created on any system.
    ASSERT_EQ(1, files_->CreateFolder(scratch_.Join("LOCKED.DLL").c_str()));
    std::vector<unsigned char> archive = RecordBytes("A.TXT", Bytes("a"));
    Append(&archive, RecordBytes("LOCKED.DLL", Bytes("locked")));
    Append(&archive, RecordBytes("B.TXT", Bytes("b")));

    EXPECT_EQ(1, Extract(archive));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(kDialog, messages_.shown[0].owner);
    EXPECT_EQ(scratch_.Join("LOCKED.DLL"), messages_.shown[0].text);
    EXPECT_EQ("ERRORE DI SCRITTURA", messages_.shown[0].caption);
    EXPECT_EQ(kMbIconError, messages_.shown[0].type);
    EXPECT_EQ(Bytes("a"), Read("A.TXT"));
    EXPECT_EQ(Bytes("b"), Read("B.TXT"));
    EXPECT_FALSE(FileExists(ArchivePath()));
    EXPECT_EQ(3u, progress_.calls.size());
}

TEST(PayloadArchiveTest, PathLongerThan255CharactersIsReportedWholeAndNotWritten) {
    // Folder (250) + backslash + name: 255 characters fit, 256 do not.
    std::string folder = "C:\\" + std::string(247, 'f');
    ASSERT_EQ(250u, folder.size());
    std::string fits(4, 'k');
    std::string tooLong(5, 'l');
    std::string farTooLong(900, 'm');
    std::vector<unsigned char> archive = RecordBytes(fits, Bytes("fits"));
    Append(&archive, RecordBytes(tooLong, Bytes("too long"), 8 + 1024));
    Append(&archive, RecordBytes(farTooLong, Bytes("far too long"), 8 + 1024));

    MemoryRun run;
    // The archive path itself must fit: a short archive name.
    run.files.files[folder + "\\R"] = archive;
    EXPECT_EQ(1, ExtractPayloadArchive(run.platform, kDialog, folder.c_str(), "R", 30, 40));
    EXPECT_EQ(Bytes("fits"), run.files.files[folder + "\\" + fits]);
    EXPECT_FALSE(run.files.Exists((folder + "\\" + tooLong).c_str()));
    ASSERT_EQ(2u, run.messages.shown.size());
    EXPECT_EQ(folder + "\\" + tooLong, run.messages.shown[0].text);
    EXPECT_EQ(folder + "\\" + farTooLong, run.messages.shown[1].text);
    EXPECT_EQ("ERRORE DI SCRITTURA", run.messages.shown[1].caption);
    EXPECT_EQ(1u, run.files.files.size());
}

TEST(PayloadArchiveTest, ArchivePathThatDoesNotFitCannotBeOpened) {
    std::string folder = "C:\\" + std::string(250, 'f');
    MemoryRun run;
    run.files.files[folder + "\\RESOURCE.DAT"] = RecordBytes("A", Bytes("a"));
    EXPECT_EQ(0,
              ExtractPayloadArchive(run.platform, kDialog, folder.c_str(), "RESOURCE.DAT", 30, 40));
    ASSERT_EQ(1u, run.messages.shown.size());
    EXPECT_EQ("Impossibile accedere al file RESOURCE.DAT", run.messages.shown[0].text);
    EXPECT_EQ(1u, run.files.files.size());
}

TEST(PayloadArchiveTest, EntryThatDoesNotReachTheDiskInFullIsReportedAndRemoved) {
    std::vector<unsigned char> archive = RecordBytes("FITS.BIN", Content(1000, 5));
    Append(&archive, RecordBytes("FULL.BIN", Content(1000, 6)));
    Append(&archive, RecordBytes("EMPTY.BIN", {}));
    MemoryRun run;
    run.files.capacity = 1500;
    EXPECT_EQ(1, run.Extract("C:\\App", archive));
    EXPECT_EQ(Content(1000, 5), run.files.files["C:\\App\\FITS.BIN"]);
    EXPECT_FALSE(run.files.Exists("C:\\App\\FULL.BIN"));
    EXPECT_TRUE(run.files.Exists("C:\\App\\EMPTY.BIN"));
    ASSERT_EQ(1u, run.messages.shown.size());
    EXPECT_EQ("C:\\App\\FULL.BIN", run.messages.shown[0].text);
    EXPECT_EQ("ERRORE DI SCRITTURA", run.messages.shown[0].caption);

    // A flush that fails at close is the same failure.
    MemoryRun closing;
    closing.files.failClose = true;
    EXPECT_EQ(1, closing.Extract("C:\\App", RecordBytes("F.BIN", Content(10, 7))));
    EXPECT_FALSE(closing.files.Exists("C:\\App\\F.BIN"));
    ASSERT_EQ(1u, closing.messages.shown.size());
    EXPECT_EQ("C:\\App\\F.BIN", closing.messages.shown[0].text);
}

// The allocator of the next extraction: counts its calls and can fail.
int allocations = 0;
size_t allocatedSize = 0;
void* CountingAllocate(size_t size) {
    ++allocations;
    allocatedSize = size;
    return malloc(size);
}
void* FailingAllocate(size_t) {
    return nullptr;
}

TEST(PayloadArchiveTest, OneBufferOneReadAndOneWritePerEntry) {
    std::vector<unsigned char> archive;
    for (unsigned i = 0; i < 5; ++i) {
        Append(&archive, RecordBytes("E" + std::to_string(i), Content(1000 * i + 1, i)));
    }
    MemoryRun run;
    run.files.files["C:\\App\\R.DAT"] = archive;
    allocations = 0;
    EXPECT_EQ(1, UnpackPayloadArchive(run.platform, kDialog, "C:\\App", "C:\\App\\R.DAT", 30, 40,
                                      ArchiveAfterUse::kDelete, CountingAllocate));
    EXPECT_EQ(1, allocations);
    EXPECT_EQ(15000000u, allocatedSize);
    EXPECT_EQ((std::vector<size_t>{1, 1001, 2001, 3001, 4001}), run.files.writeSizes);
    EXPECT_FALSE(run.files.Exists("C:\\App\\R.DAT"));
}

TEST(PayloadArchiveTest, NoBufferMeansNothingExtractedAndTheArchiveKept) {
    std::vector<unsigned char> archive = RecordBytes("A", Bytes("a"));
    MemoryRun run;
    run.files.files["C:\\App\\RESOURCE.DAT"] = archive;
    EXPECT_EQ(0, UnpackPayloadArchive(run.platform, kDialog, "C:\\App", "C:\\App\\RESOURCE.DAT", 30,
                                      40, ArchiveAfterUse::kDelete, FailingAllocate));
    ASSERT_EQ(1u, run.messages.shown.size());
    EXPECT_EQ(kDialog, run.messages.shown[0].owner);
    EXPECT_EQ("Memoria insufficiente", run.messages.shown[0].text);
    EXPECT_EQ("ZarBelPC - Setup", run.messages.shown[0].caption);
    EXPECT_EQ(kMbIconError, run.messages.shown[0].type);
    EXPECT_EQ(archive, run.files.files["C:\\App\\RESOURCE.DAT"]);
    EXPECT_EQ(1u, run.files.files.size());
}

TEST(PayloadArchiveTest, KeptArchiveStaysAfterAGoodRun) {
    MemoryRun run;
    run.files.files["C:\\in\\A.DAT"] = RecordBytes("A", Bytes("a"));
    EXPECT_EQ(1, UnpackPayloadArchive(run.platform, nullptr, "C:\\out", "C:\\in\\A.DAT", 30, 40,
                                      ArchiveAfterUse::kKeep, malloc));
    EXPECT_TRUE(run.files.Exists("C:\\in\\A.DAT"));
    EXPECT_EQ(Bytes("a"), run.files.files["C:\\out\\A"]);
    // No window: no position.
    EXPECT_TRUE(run.progress.sent.empty());
}

TEST(PayloadArchiveTest, ShippedShapeSendsOnePositionPerRecordEndingAt69) {
    // 26 records with H = 264, contents of 10,554,622 bytes in all, the largest 6,254,592:
    // an archive of 10,561,486 bytes, step 352,049 at divisor 30.
    std::vector<uint32_t> sizes = {6254592, 1617920, 1060864, 647168, 401408, 348160, 118784,
                                   45056,   46169,   20480,   12288,  9728,   4096,   2048,
                                   1536,    1200,    900,     700,    600,    500,    400,
                                   300,     200,     100,     47,     0};
    uint64_t total = 0;
    for (uint32_t size : sizes) {
        total += size;
    }
    sizes[1] += static_cast<uint32_t>(10554622 - total);  // make the content total exact
    std::vector<unsigned char> archive;
    for (size_t i = 0; i < sizes.size(); ++i) {
        Append(&archive, RecordBytes("ENTRY" + std::to_string(i), Content(sizes[i], unsigned(i))));
    }
    ASSERT_EQ(10561486u, archive.size());

    MemoryRun run;
    EXPECT_EQ(1, run.Extract("C:\\App", archive));
    std::vector<int> positions = run.Positions();
    ASSERT_EQ(26u, positions.size());
    uint64_t contentSoFar = 0;
    for (size_t i = 0; i < positions.size(); ++i) {
        if (i > 0) {
            EXPECT_LE(positions[i - 1], positions[i]);
        }
        // Each position is sent before its entry is written.
        EXPECT_EQ(contentSoFar, run.progress.sent[i].byteCount);
        contentSoFar += sizes[i];
    }
    EXPECT_EQ(40 + 6254592 / 352049, positions.front());
    EXPECT_EQ(69, positions.back());
    EXPECT_TRUE(run.messages.shown.empty());
}

TEST(PayloadArchiveTest, PositionsFollowContentBytesOnly) {
    // All D = 0: the start position for every record.
    std::vector<unsigned char> empties;
    for (int i = 0; i < 4; ++i) {
        Append(&empties, RecordBytes("Z" + std::to_string(i), {}));
    }
    MemoryRun run;
    EXPECT_EQ(1, run.Extract("C:\\App", empties));
    EXPECT_EQ((std::vector<int>{40, 40, 40, 40}), run.Positions());

    // Shorter than the divisor (step 0): a step of 1, one position per content byte.
    std::vector<unsigned char> tiny = RecordBytes("T", Bytes("ab"), 10);
    Append(&tiny, RecordBytes("U", Bytes("c"), 10));
    ASSERT_EQ(23u, tiny.size());
    MemoryRun shortRun;
    EXPECT_EQ(1, shortRun.Extract("C:\\App", tiny));
    EXPECT_EQ((std::vector<int>{42, 43}), shortRun.Positions());
}

}  // namespace
