#include <gtest/gtest.h>

#include <cstring>

#include "platform/Text.h"

TEST(Text, UpperCaseTouchesOnlyAsciiLetters) {
    char s[] = "c:\\program files\\zarbelpc \xE8\xE0 1-z";
    text::UpperInPlace(s);
    EXPECT_STREQ("C:\\PROGRAM FILES\\ZARBELPC \xE8\xE0 1-Z", s);
    EXPECT_TRUE(text::EqualsNoCase("ZarbelPC", "ZARBELPC"));
    EXPECT_FALSE(text::EqualsNoCase("ZarbelPC", "ZARBELPC "));
}

TEST(Text, JoinAndCopyNeverOverflow) {
    char dst[12];
    memset(dst, 'x', sizeof dst);
    EXPECT_EQ(1, text::JoinPath(dst, 12, "C:\\ab", "c.txt"));  // 11 characters fit
    EXPECT_STREQ("C:\\ab\\c.txt", dst);
    EXPECT_EQ(0, text::JoinPath(dst, 11, "C:\\ab", "c.txt"));
    EXPECT_STREQ("", dst);
    EXPECT_EQ(0, text::Copy(dst, 4, "ABCDEF"));
    EXPECT_STREQ("ABC", dst);
    EXPECT_EQ(1, text::Copy(dst, 4, "ABC"));
}
