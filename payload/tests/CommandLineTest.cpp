#include "payload/common/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Words(const char* line) {
    std::vector<std::string> words;
    char word[64];
    const char* cursor = line;
    int complete = 0;
    while (cmdline::NextWord(&cursor, word, sizeof word, &complete)) {
        words.push_back(complete ? word : std::string("<cut>") + word);
    }
    return words;
}

TEST(CommandLine, SplitsOnBlanksAndGroupsQuotedText) {
    struct Row {
        const char* line;
        std::vector<std::string> words;
    };
    const Row rows[] = {
        {"", {}},
        {"   \t ", {}},
        {"/u", {"/u"}},
        {"/dump   out.txt", {"/dump", "out.txt"}},
        {"/dump \"C:\\My Folder\\out.txt\"", {"/dump", "C:\\My Folder\\out.txt"}},
        {"\"C:\\Zarbel PC\\a.kar\"", {"C:\\Zarbel PC\\a.kar"}},
        {"ab\"c d\"e f", {"abc de", "f"}},
        {"\"\"", {""}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.words, Words(row.line)) << row.line;
    }
}

TEST(CommandLine, ReportsAWordCutToTheBuffer) {
    char word[4];
    int complete = 1;
    const char* cursor = "abcdef nxt";
    ASSERT_EQ(1, cmdline::NextWord(&cursor, word, sizeof word, &complete));
    EXPECT_EQ(0, complete);
    EXPECT_STREQ("abc", word);
    ASSERT_EQ(1, cmdline::NextWord(&cursor, word, sizeof word, &complete));
    EXPECT_EQ(1, complete);
    EXPECT_STREQ("nxt", word);
    EXPECT_EQ(0, cmdline::NextWord(&cursor, word, sizeof word, &complete));
}

TEST(CommandLine, SkipsAQuotedProgramName) {
    EXPECT_STREQ(" /quiet", cmdline::SkipProgramName("\"C:\\windows\\Zar Bel.exe\" /quiet"));
    EXPECT_STREQ(" /u", cmdline::SkipProgramName("assocset.exe /u"));
    EXPECT_STREQ("", cmdline::SkipProgramName("assocset.exe"));
}

}  // namespace
