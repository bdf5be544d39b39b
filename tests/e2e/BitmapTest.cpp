// The screenshots' BMP files: header fields, padded bottom-up rows, and reading them back.
#include <gtest/gtest.h>

#include "driver/Bitmap.h"

namespace e2e {
namespace {

uint32_t Le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

Pixels Gradient(int width, int height) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t red = static_cast<uint32_t>(x * 40) & 0xFF;
            uint32_t green = static_cast<uint32_t>(y * 30) & 0xFF;
            uint32_t blue = static_cast<uint32_t>(x + y) & 0xFF;
            pixels.data.push_back(red << 16 | green << 8 | blue);
        }
    }
    return pixels;
}

TEST(DriverBitmap, HeaderAndRowsAreThoseOfA24BitBottomUpBmp) {
    // 3 pixels a row: 9 bytes padded to 12.
    std::string file = EncodeBmp24(Gradient(3, 2));
    ASSERT_EQ(54u + 24u, file.size());
    EXPECT_EQ("BM", file.substr(0, 2));
    EXPECT_EQ(file.size(), Le32(file, 2));
    EXPECT_EQ(54u, Le32(file, 10));
    EXPECT_EQ(40u, Le32(file, 14));
    EXPECT_EQ(3u, Le32(file, 18));
    EXPECT_EQ(2u, Le32(file, 22)) << "positive height: bottom-up";
    EXPECT_EQ(24u, Le32(file, 28) & 0xFFFF);
    EXPECT_EQ(0u, Le32(file, 30)) << "uncompressed";
    EXPECT_EQ(24u, Le32(file, 34));
    // The first row in the file is the bottom one (y = 1); pixel (0,1) = 0x00 1E 01, stored B G R.
    EXPECT_EQ(0x01, static_cast<unsigned char>(file[54]));
    EXPECT_EQ(0x1E, static_cast<unsigned char>(file[55]));
    EXPECT_EQ(0x00, static_cast<unsigned char>(file[56]));
    EXPECT_EQ(std::string(3, '\0'), file.substr(54 + 9, 3)) << "row padding";
}

TEST(DriverBitmap, DecodingGivesBackWhatWasEncoded) {
    for (int width : {1, 2, 3, 4, 5, 17}) {
        Pixels original = Gradient(width, 3);
        Pixels decoded;
        ASSERT_TRUE(DecodeBmp24(EncodeBmp24(original), &decoded)) << width;
        EXPECT_EQ(original.width, decoded.width);
        EXPECT_EQ(original.height, decoded.height);
        EXPECT_EQ(original.data, decoded.data) << width;
    }
}

TEST(DriverBitmap, TopDownFilesAreReadToo) {
    Pixels original = Gradient(2, 2);
    std::string file = EncodeBmp24(original);
    // Make it top-down: negative height and the rows swapped.
    int32_t negative = -2;
    memcpy(&file[22], &negative, 4);
    std::string rows = file.substr(54);
    file = file.substr(0, 54) + rows.substr(8, 8) + rows.substr(0, 8);
    Pixels decoded;
    ASSERT_TRUE(DecodeBmp24(file, &decoded));
    EXPECT_EQ(original.data, decoded.data);
}

TEST(DriverBitmap, BadPicturesAndFilesAreRefused) {
    Pixels empty;
    EXPECT_EQ("", EncodeBmp24(empty));
    Pixels mismatched = Gradient(3, 3);
    mismatched.data.pop_back();
    EXPECT_EQ("", EncodeBmp24(mismatched));

    std::string good = EncodeBmp24(Gradient(3, 3));
    Pixels out;
    EXPECT_FALSE(DecodeBmp24("", &out));
    EXPECT_FALSE(DecodeBmp24(good.substr(0, 60), &out)) << "rows cut off";
    std::string wrongMagic = good;
    wrongMagic[0] = 'X';
    EXPECT_FALSE(DecodeBmp24(wrongMagic, &out));
    std::string wrongDepth = good;
    wrongDepth[28] = 32;
    EXPECT_FALSE(DecodeBmp24(wrongDepth, &out));
    std::string compressed = good;
    compressed[30] = 1;
    EXPECT_FALSE(DecodeBmp24(compressed, &out));
    std::string hugeOffset = good;
    hugeOffset[10] = static_cast<char>(0xFF);
    hugeOffset[11] = static_cast<char>(0xFF);
    EXPECT_FALSE(DecodeBmp24(hugeOffset, &out));
}

}  // namespace
}  // namespace e2e
