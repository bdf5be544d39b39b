// The dictionary container: its exact layout, the two tests and what each failure leaves behind.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "doubles/Doubles.h"
#include "doubles/Scratch.h"
#include "package/DictionaryContainer.h"
#include "package/MemoryFiles.h"
#include "platform/MemoryWriteStream.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Build(const std::string& plain) {
    Bytes container;
    MemoryWriteStream<Bytes> out(&container);
    EXPECT_EQ(1, WriteDictionaryContainer(out, reinterpret_cast<const unsigned char*>(plain.data()),
                                          plain.size()));
    return container;
}

void PutLittleEndian32(Bytes* bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        (*bytes)[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

class DictionaryContainerTest : public ::testing::Test {
protected:
    void SetUp() override { files_ = MakeTestFileSystem(scratch_.path()); }
    // Writes the container to DICT.DIC and unscrambles it into TEMP.DIC.
    int Unscramble(const Bytes& container) {
        EXPECT_TRUE(WriteFileBytes(containerPath_, container));
        return UnscrambleDictionary(*files_, containerPath_.c_str(), plainPath_.c_str(), &status_);
    }
    std::string Plain() { return ReadFileText(plainPath_); }

    ScratchFolder scratch_;
    std::unique_ptr<FileSystem> files_;
    std::string containerPath_ = scratch_.Join("DICT.DIC");
    std::string plainPath_ = scratch_.Join("TEMP.DIC");
    DictionaryStatus status_ = DictionaryStatus::kOk;
};

TEST_F(DictionaryContainerTest, BuilderWritesLengthChecksumAndScrambledBytes) {
    // "ab" against "mo": 0x61^0x6D = 0x0C, 0x62^0x6F = 0x0D; the sum of the stored bytes is 0x19.
    EXPECT_EQ((Bytes{2, 0, 0, 0, 0x19, 0, 0, 0, 0x0C, 0x0D}), Build("ab"));
    // The key restarts after 12 bytes: 13 zero bytes are stored as the key and its first letter.
    Bytes wrapped = Build(std::string(13, '\0'));
    ASSERT_EQ(21u, wrapped.size());
    EXPECT_EQ("morvalintesam", std::string(wrapped.begin() + 8, wrapped.end()));
    // 300 bytes: the length and the sum both need their second byte.
    Bytes big = Build(std::string(300, '\0'));
    uint32_t sum = 0;
    for (size_t i = 0; i < 300; ++i) {
        sum += static_cast<unsigned char>(kDictionaryKey[i % 12]);
    }
    EXPECT_EQ(sum & 0xFF, big[4]);
    EXPECT_EQ((sum >> 8) & 0xFF, big[5]);
    EXPECT_EQ(44u, big[0]);  // 300 = 0x12C
    EXPECT_EQ(1u, big[1]);
}

TEST_F(DictionaryContainerTest, EmptyContainerYieldsAnEmptyPlainFile) {
    EXPECT_EQ(1, Unscramble(Bytes(8, 0)));
    EXPECT_EQ(DictionaryStatus::kOk, status_);
    ASSERT_TRUE(FileExists(plainPath_));
    EXPECT_EQ("", Plain());
}

TEST_F(DictionaryContainerTest, RoundTripAcrossReadBlocks) {
    // Longer than the reader's block, whose size is not a multiple of 12: the key position must
    // follow the payload, not the block.
    std::string plain;
    for (int i = 0; i < 10007; ++i) {
        plain.push_back(static_cast<char>((i * 7919) >> 3));
    }
    EXPECT_EQ(1, Unscramble(Build(plain)));
    EXPECT_EQ(plain, Plain());
    // The builder too: stored byte 4096 of a zero payload is key character 4096 mod 12 = 4.
    Bytes zeros = Build(std::string(5000, '\0'));
    EXPECT_EQ('a', zeros[8 + 4096]);
    EXPECT_EQ('l', zeros[8 + 4097]);
}

TEST_F(DictionaryContainerTest, KeyPositionWrapsAtTwelve) {
    // Stored bytes equal to the key, twice over plus one: byte 11 meets 'a', byte 12 meets 'm'.
    Bytes container(8, 0);
    std::string stored = std::string(kDictionaryKey) + kDictionaryKey + "m";
    container.insert(container.end(), stored.begin(), stored.end());
    PutLittleEndian32(&container, 0, static_cast<uint32_t>(stored.size()));
    uint32_t sum = 0;
    for (char c : stored) {
        sum += static_cast<unsigned char>(c);
    }
    PutLittleEndian32(&container, 4, sum);
    EXPECT_EQ(1, Unscramble(container));
    EXPECT_EQ(std::string(25, '\0'), Plain());
}

TEST_F(DictionaryContainerTest, LengthFailuresLeaveAnEmptyPlainFile) {
    Bytes good = Build("[ENUMKEYS]\r\nK0=SETUP_CAPTION\r\n");
    struct Case {
        const char* what;
        Bytes container;
    } cases[] = {
        {"one byte appended", good},
        {"one byte missing", Bytes(good.begin(), good.end() - 1)},
        {"shorter than the header", Bytes{0, 0, 0, 0, 0}},
        {"nothing at all", Bytes()},
    };
    cases[0].container.push_back(0);
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileText(plainPath_, "left over from before"));
        EXPECT_EQ(0, Unscramble(c.container)) << c.what;
        EXPECT_EQ(DictionaryStatus::kBadLength, status_) << c.what;
        EXPECT_TRUE(FileExists(plainPath_)) << c.what;
        EXPECT_EQ("", Plain()) << c.what;
    }
}

TEST_F(DictionaryContainerTest, ChangedByteFailsTheChecksumButLeavesThePayload) {
    std::string plain = "[ENGLISH]\r\nSETUP_CAPTION=ZarBelPC Setup\r\n";
    Bytes container = Build(plain);
    container[8 + 3] ^= 0x01;
    EXPECT_EQ(0, Unscramble(container));
    EXPECT_EQ(DictionaryStatus::kBadChecksum, status_);
    std::string damaged = plain;
    damaged[3] ^= 0x01;
    EXPECT_EQ(damaged, Plain());
}

TEST_F(DictionaryContainerTest, ChecksumOverPlainBytesIsRejected) {
    std::string plain = "SETUP_CAPTION";
    Bytes container = Build(plain);
    uint32_t plainSum = 0;
    for (char c : plain) {
        plainSum += static_cast<unsigned char>(c);
    }
    ASSERT_NE(plainSum, container[4] | container[5] << 8u) << "the two sums must differ here";
    PutLittleEndian32(&container, 4, plainSum);
    EXPECT_EQ(0, Unscramble(container));
    EXPECT_EQ(DictionaryStatus::kBadChecksum, status_);
}

TEST_F(DictionaryContainerTest, SwappedBytesPassButUnscrambleAtTheirNewPositions) {
    std::string plain = "ABCDEFGHIJKLMNOP";
    Bytes container = Build(plain);
    std::swap(container[8 + 0], container[8 + 1]);
    EXPECT_EQ(1, Unscramble(container));
    std::string expected = plain;
    // Stored byte 1 ('B'^'o') now meets 'm', stored byte 0 ('A'^'m') meets 'o'.
    expected[0] = static_cast<char>('B' ^ 'o' ^ 'm');
    expected[1] = static_cast<char>('A' ^ 'm' ^ 'o');
    EXPECT_EQ(expected, Plain());
}

TEST_F(DictionaryContainerTest, MissingContainerOrUncreatablePlainFile) {
    EXPECT_EQ(0,
              UnscrambleDictionary(*files_, containerPath_.c_str(), plainPath_.c_str(), &status_));
    EXPECT_EQ(DictionaryStatus::kCannotOpen, status_);
    EXPECT_FALSE(FileExists(plainPath_)) << "no plain file without a container";

    ASSERT_TRUE(WriteFileBytes(containerPath_, Build("x")));
    std::string nowhere = scratch_.Join("missing-folder\\TEMP.DIC");
    EXPECT_EQ(0, UnscrambleDictionary(*files_, containerPath_.c_str(), nowhere.c_str(), &status_));
    EXPECT_EQ(DictionaryStatus::kCannotCreate, status_);
}

TEST(DictionaryContainerDiskTest, PlainFileCutShortIsAFailure) {
    // A full disk must not pass a truncated dictionary off as a good one.
    std::string plain = "[ENUMKEYS]\r\nK0=SETUP_CAPTION\r\n";
    for (bool failClose : {false, true}) {
        MemoryFileSystem files;
        files.files["DICT.DIC"] = Build(plain);
        files.capacity = failClose ? -1 : 10;
        files.failClose = failClose;
        DictionaryStatus status = DictionaryStatus::kOk;
        EXPECT_EQ(0, UnscrambleDictionary(files, "DICT.DIC", "TEMP.DIC", &status)) << failClose;
        EXPECT_EQ(DictionaryStatus::kCannotWrite, status) << failClose;
    }
    // A damaged container on a full disk is reported as damaged.
    MemoryFileSystem files;
    files.files["DICT.DIC"] = Build(plain);
    files.files["DICT.DIC"][9] ^= 1;
    files.capacity = 10;
    DictionaryStatus status = DictionaryStatus::kOk;
    EXPECT_EQ(0, UnscrambleDictionary(files, "DICT.DIC", "TEMP.DIC", &status));
    EXPECT_EQ(DictionaryStatus::kBadChecksum, status);
}

}  // namespace
