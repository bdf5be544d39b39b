#include "../common/Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct JoinRow {
    const char* folder;
    const char* name;
    size_t size;
    int fits;
    const char* expected;
};

TEST(PathJoin, JoinsWithOneBackslashAndNeverOverflows) {
    const std::string longFolder = "C:\\" + std::string(250, 'f');  // 253 characters
    const JoinRow rows[] = {
        {"C:\\ZarbelPC", "ZarBelPC.EXE", 260, 1, "C:\\ZarbelPC\\ZarBelPC.EXE"},
        {"C:\\", "ZarbelPC.lnk", 260, 1, "C:\\ZarbelPC.lnk"},
        {"C:\\Program Files\\ZarbelPC", "a b.txt", 260, 1, "C:\\Program Files\\ZarbelPC\\a b.txt"},
        // 253 + 1 + 5 = 259 characters: the largest that fits 260.
        {longFolder.c_str(), "12345", 260, 1, nullptr},
        {longFolder.c_str(), "123456", 260, 0, ""},
        {"C:\\a", "b", 6, 0, ""},
        {"C:\\a", "b", 7, 1, "C:\\a\\b"},
    };
    for (const JoinRow& row : rows) {
        char out[300];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(row.fits, path::Join(out, row.size, row.folder, row.name)) << row.folder;
        if (row.expected != nullptr) {
            EXPECT_STREQ(row.expected, out);
        } else {
            EXPECT_EQ(longFolder + "\\12345", out);
        }
        EXPECT_EQ('x', out[row.size]) << "wrote past the buffer for " << row.name;
    }
}

TEST(TextCopy, CutsToTheBufferAndSaysSo) {
    char out[6];
    EXPECT_EQ(1, text::Copy(out, sizeof out, "abcde"));
    EXPECT_STREQ("abcde", out);
    EXPECT_EQ(0, text::Copy(out, sizeof out, "abcdef"));
    EXPECT_STREQ("abcde", out);
}

TEST(TextAppend, LeavesTheBufferAloneWhenTheTextDoesNotFit) {
    char out[8] = "abc";
    EXPECT_EQ(1, text::Append(out, sizeof out, "def"));
    EXPECT_STREQ("abcdef", out);
    EXPECT_EQ(0, text::Append(out, sizeof out, "gh"));
    EXPECT_STREQ("abcdef", out);
    EXPECT_EQ(1, text::Append(out, sizeof out, "g"));
    EXPECT_STREQ("abcdefg", out);
}

TEST(TextCompare, IgnoresLetterCaseOnly) {
    EXPECT_TRUE(text::EqualNoCase("ZarBelPC_UNINSTALL.exe", "zarbelpc_uninstall.EXE"));
    EXPECT_FALSE(text::EqualNoCase("MSINET.OCX", "MSINET.OC"));
    EXPECT_FALSE(text::EqualNoCase("MSINET.OC", "MSINET.OCX"));
    EXPECT_TRUE(text::StartsWithNoCase("C:\\Windows\\System32", "c:\\WINDOWS"));
    EXPECT_FALSE(text::StartsWithNoCase("C:\\Win", "C:\\Windows"));
}

TEST(PathFolderOf, TakesEverythingBeforeTheLastBackslash) {
    char out[20];
    EXPECT_EQ(1, path::FolderOf(out, sizeof out, "C:\\ZarbelPC\\assocset.exe"));
    EXPECT_STREQ("C:\\ZarbelPC", out);
    EXPECT_EQ(1, path::FolderOf(out, sizeof out, "assocset.exe"));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, path::FolderOf(out, 5, "C:\\ZarbelPC\\assocset.exe"));
    EXPECT_STREQ("", out);
}

}  // namespace
