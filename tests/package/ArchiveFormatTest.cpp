// The record layout as zbpack writes it and as the setup reads it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/ArchiveBytes.h"
#include "package/ArchiveFormat.h"
#include "package/MemoryFiles.h"

namespace {

TEST(ArchiveFormatTest, OneThreeByteFileMakesThe267ByteExample) {
    std::vector<unsigned char> expected = {0x03, 0x00, 0x00, 0x00, 0x08, 0x01, 0x00,
                                           0x00, 'A',  '.',  'T',  'X',  'T'};
    expected.resize(8 + 256, 0x00);
    expected.push_back(0x61);
    expected.push_back(0x62);
    expected.push_back(0x63);
    ASSERT_EQ(267u, expected.size());

    std::vector<unsigned char> encoded(archive::kHeaderLength);
    ASSERT_EQ(1, archive::EncodeRecordHeader("A.TXT", 3, encoded.data()));
    encoded.insert(encoded.end(), {0x61, 0x62, 0x63});
    EXPECT_EQ(expected, encoded);
    // The test's own builder agrees, so the other tests' archives have the same layout.
    EXPECT_EQ(expected, RecordBytes("A.TXT", Bytes("abc")));
}

TEST(ArchiveFormatTest, EncodingRefusesWhatTheFieldsCannotHold) {
    std::vector<unsigned char> header(archive::kHeaderLength, 0xAA);
    EXPECT_EQ(1,
              archive::EncodeRecordHeader(std::string(255, 'n').c_str(), 15000000, header.data()));
    EXPECT_EQ(0, header[8 + 255]);  // the terminating NUL still fits
    EXPECT_EQ(0, archive::EncodeRecordHeader(std::string(256, 'n').c_str(), 1, header.data()));
    EXPECT_EQ(0, archive::EncodeRecordHeader("A", 15000001, header.data()));
}

TEST(ArchiveFormatTest, ReaderNamesEachKindOfDamage) {
    std::vector<unsigned char> data(archive::kMaxDataLength);
    std::vector<unsigned char> cutContent = RecordBytes("C", Bytes("content"));
    cutContent.pop_back();
    std::vector<unsigned char> cutName = RecordBytes("C", Bytes("content"));
    cutName.resize(100);
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        archive::Damage damage;
    } rows[] = {
        {"3 bytes", {1, 2, 3}, archive::Damage::kTruncatedLengths},
        {"H = 7", RecordBytes("X", {}, 7), archive::Damage::kHeaderTooShort},
        {"H - 8 = 1025", RecordBytes("X", {}, 8 + 1025), archive::Damage::kNameFieldTooLong},
        {"D over the limit", RecordBytes("X", std::vector<unsigned char>(15000001)),
         archive::Damage::kDataTooLong},
        {"cut name", cutName, archive::Damage::kTruncatedName},
        {"no NUL", RecordBytes("XY", {}, 10), archive::Damage::kNameNotTerminated},
        {"H = 8", RecordBytes("", {}, 8), archive::Damage::kNameNotTerminated},
        {"cut content", cutContent, archive::Damage::kTruncatedData},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryReadStream source(row.bytes);
        archive::Record record;
        archive::Damage damage = archive::Damage::kNone;
        EXPECT_EQ(archive::ReadResult::kDamaged,
                  archive::ReadRecord(source, &record, data.data(), &damage));
        EXPECT_EQ(row.damage, damage);
        EXPECT_STRNE("no damage", archive::DescribeDamage(damage));
    }
}

TEST(ArchiveFormatTest, ReaderReadsRecordsOfAnyHeaderLengthThenEnds) {
    std::vector<unsigned char> bytes = RecordBytes("SHORT", Bytes("12345"), 8 + 6);
    Append(&bytes, RecordBytes("LONG.NAME", Bytes(""), 8 + 1024));
    Append(&bytes, RecordBytes("A.TXT", Bytes("abc")));
    MemoryReadStream source(bytes);
    std::vector<unsigned char> data(archive::kMaxDataLength);
    archive::Record record;
    archive::Damage damage;

    ASSERT_EQ(archive::ReadResult::kRecord,
              archive::ReadRecord(source, &record, data.data(), &damage));
    EXPECT_STREQ("SHORT", record.name);
    EXPECT_EQ(14u, record.headerLength);
    EXPECT_EQ(5u, record.dataLength);
    EXPECT_EQ(0, memcmp("12345", data.data(), 5));
    ASSERT_EQ(archive::ReadResult::kRecord,
              archive::ReadRecord(source, &record, data.data(), &damage));
    EXPECT_STREQ("LONG.NAME", record.name);
    EXPECT_EQ(0u, record.dataLength);
    ASSERT_EQ(archive::ReadResult::kRecord,
              archive::ReadRecord(source, &record, data.data(), &damage));
    EXPECT_STREQ("A.TXT", record.name);
    EXPECT_EQ(0, memcmp("abc", data.data(), 3));
    EXPECT_EQ(archive::ReadResult::kEnd,
              archive::ReadRecord(source, &record, data.data(), &damage));
    EXPECT_EQ(archive::Damage::kNone, damage);
}

}  // namespace
