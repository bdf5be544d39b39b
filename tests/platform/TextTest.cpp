#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Text.h"

namespace {

TEST(Text, CaseRulesTouchOnlyAsciiLetters) {
    char s[] = "c:\\program files\\zarbelpc \xE8\xE0 1-z";
    text::UpperInPlace(s);
    EXPECT_STREQ("C:\\PROGRAM FILES\\ZARBELPC \xE8\xE0 1-Z", s);
    EXPECT_TRUE(text::EqualNoCase("ZarBelPC_UNINSTALL.exe", "zarbelpc_uninstall.EXE"));
    EXPECT_FALSE(text::EqualNoCase("ZarbelPC", "ZARBELPC "));
    EXPECT_FALSE(text::EqualNoCase("MSINET.OC", "MSINET.OCX"));
    EXPECT_FALSE(text::EqualNoCase("\xE8", "\xC8"));
    EXPECT_TRUE(text::StartsWithNoCase("C:\\Windows\\System32", "c:\\WINDOWS"));
    EXPECT_FALSE(text::StartsWithNoCase("C:\\Win", "C:\\Windows"));
}

TEST(Text, CopyAndAppendSayWhenTheTextDoesNotFit) {
    char out[6];
    EXPECT_TRUE(text::Copy(out, sizeof out, "abcde"));
    EXPECT_STREQ("abcde", out);
    EXPECT_FALSE(text::Copy(out, sizeof out, "abcdef"));
    EXPECT_STREQ("abcde", out);

    char grown[8] = "abc";
    EXPECT_TRUE(text::Append(grown, sizeof grown, "def"));
    EXPECT_FALSE(text::Append(grown, sizeof grown, "gh"));
    EXPECT_STREQ("abcdef", grown);
    EXPECT_TRUE(text::Append(grown, sizeof grown, "g"));
    EXPECT_STREQ("abcdefg", grown);
}

TEST(Path, JoinTakesTheFolderAsGivenAndNeverOverflows) {
    const std::string longFolder = "C:\\" + std::string(250, 'f');  // 253 characters
    const std::string longJoined = longFolder + "\\12345";          // 259: the most that fits
    struct Row {
        const char* folder;
        const char* name;
        size_t size;
        bool fits;
        const char* expected;
    };
    const Row rows[] = {
        {"C:\\Program Files\\ZarbelPC", "a b.txt", 260, true,
         "C:\\Program Files\\ZarbelPC\\a b.txt"},
        {"C:\\", "ZarbelPC.lnk", 260, true, "C:\\\\ZarbelPC.lnk"},
        {"", "ZarbelPC", 260, true, "\\ZarbelPC"},
        {longFolder.c_str(), "12345", 260, true, longJoined.c_str()},
        {longFolder.c_str(), "123456", 260, false, ""},
        {"C:\\a", "b", 6, false, ""},
        {"C:\\a", "b", 7, true, "C:\\a\\b"},
    };
    for (const Row& row : rows) {
        char out[300];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(row.fits, path::Join(out, row.size, row.folder, row.name)) << row.folder;
        EXPECT_STREQ(row.expected, out);
        EXPECT_EQ('x', out[row.size]) << "wrote past the buffer for " << row.name;
    }
}

TEST(Path, FolderOfTakesEverythingBeforeTheLastBackslash) {
    char out[20];
    EXPECT_TRUE(path::FolderOf(out, sizeof out, "C:\\ZarbelPC\\assocset.exe"));
    EXPECT_STREQ("C:\\ZarbelPC", out);
    EXPECT_TRUE(path::FolderOf(out, sizeof out, "assocset.exe"));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(path::FolderOf(out, 5, "C:\\ZarbelPC\\assocset.exe"));
    EXPECT_STREQ("", out);
}

}  // namespace
