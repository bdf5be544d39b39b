// The record layout as zbpack writes it and as the setup reads it.
#include <gtest/gtest.h>

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

}  // namespace
