// The string table: reading a plain dictionary, the escape rewrite and the lookups. The reading
// runs against the portable INI reader everywhere and, in the Windows build under wine64, against
// the platform's own private-profile functions as well.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "doubles/Doubles.h"
#include "doubles/Scratch.h"
#include "package/LocalizedTexts.h"

namespace {

struct StoreKind {
    const char* name;
    std::function<std::unique_ptr<ProfileStore>(const std::string& windowsFolder)> make;
};

void PrintTo(const StoreKind& kind, std::ostream* out) {
    *out << kind.name;
}

std::vector<StoreKind> Kinds() {
    std::vector<StoreKind> kinds = {
        {"portable", [](const std::string& folder) { return MakeTestProfileStore(folder); }},
    };
#ifdef _WIN32
    kinds.push_back({"win32", [](const std::string&) { return MakeWin32TestProfileStore(); }});
#endif
    return kinds;
}

class StringTableReadTest : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override {
        store_ = GetParam().make(scratch_.path());
        table_ = new StringTable();
    }
    void TearDown() override { delete table_; }
    // Reads the table of language from a plain dictionary with this text.
    int Read(const std::string& dictionary, const char* language = "ENGLISH") {
        EXPECT_TRUE(WriteFileText(plain_, dictionary));
        return ReadStringTable(*table_, *store_, plain_.c_str(), language);
    }
    std::string Key(int row) { return table_->rows[row].key; }
    std::string Text(int row) { return table_->rows[row].text; }

    ScratchFolder scratch_;
    std::string plain_ = scratch_.Join("TEMP.DIC");
    std::unique_ptr<ProfileStore> store_;
    StringTable* table_;  // large: kept off the stack
};

TEST_P(StringTableReadTest, ListEndsAtTheFirstMissingKey) {
    EXPECT_EQ(5, Read("[ENUMKEYS]\r\nK0=A\r\nK1=B\r\nK2=C\r\nK3=D\r\nK4=E\r\nK6=G\r\n"));
    EXPECT_EQ("E", Key(4));
}

TEST_P(StringTableReadTest, ListEndsAtAValueStartingWithMinus) {
    for (const char* end : {"-", "-KEY", "--"}) {
        std::string text = std::string("[ENUMKEYS]\r\nK0=A\r\nK1=B\r\nK2=") + end + "\r\nK3=D\r\n";
        EXPECT_EQ(2, Read(text)) << end;
    }
    // A minus inside a key is an ordinary character.
    EXPECT_EQ(2, Read("[ENUMKEYS]\r\nK0=A-B\r\nK1=C\r\n"));
    EXPECT_EQ("A-B", Key(0));
}

TEST_P(StringTableReadTest, OnlyThreeHundredKeysAreRead) {
    std::string text = "[ENUMKEYS]\r\n";
    std::string texts = "[ENGLISH]\r\n";
    for (int n = 0; n < 305; ++n) {
        text += "K" + std::to_string(n) + "=KEY_" + std::to_string(n) + "\r\n";
        texts += "KEY_" + std::to_string(n) + "=text " + std::to_string(n) + "\r\n";
    }
    EXPECT_EQ(300, Read(text + texts));
    EXPECT_EQ("KEY_299", Key(299));
    EXPECT_EQ("text 299", Text(299));
    EXPECT_STREQ("KEY_300: String Error", LookupString(*table_, "KEY_300"));
}

TEST_P(StringTableReadTest, KeysAreUpperCasedAndFoundInAnyCase) {
    ASSERT_EQ(2, Read("[ENUMKEYS]\r\nK0=setup_Caption\r\nk1=global_info\r\n"
                      "[english]\r\nSETUP_CAPTION=ZarBelPC Setup\r\nGlobal_Info=Information\r\n"));
    EXPECT_EQ("SETUP_CAPTION", Key(0));
    EXPECT_EQ("GLOBAL_INFO", Key(1));
    EXPECT_STREQ("ZarBelPC Setup", LookupString(*table_, "Setup_CAPTION"));
    EXPECT_STREQ("Information", LookupString(*table_, "global_info"));
}

TEST_P(StringTableReadTest, DuplicateKeyTakesARowButTheFirstWins) {
    ASSERT_EQ(3, Read("[ENUMKEYS]\r\nK0=A\r\nK1=B\r\nK2=a\r\n[ENGLISH]\r\nA=first\r\n"));
    EXPECT_EQ(table_->rows[0].text, LookupString(*table_, "A"));
}

TEST_P(StringTableReadTest, KeysAndTextsAreCutToTheirFields) {
    std::string key62(62, 'K');
    std::string key63 = std::string(62, 'L') + "X";
    std::string text510(510, 't');
    std::string text511 = std::string(510, 'u') + "X";
    ASSERT_EQ(2,
              Read("[ENUMKEYS]\r\nK0=" + key62 + "\r\nK1=" + key63 + "\r\n[ENGLISH]\r\n" + key62 +
                   "=" + text510 + "\r\n" + std::string(62, 'L') + "=" + text511 + "\r\n"));
    EXPECT_EQ(key62, Key(0));
    EXPECT_EQ(std::string(62, 'L'), Key(1));
    EXPECT_EQ(text510, Text(0));
    // The cut key finds the text stored under its first 62 characters; the text is cut too.
    EXPECT_EQ(std::string(510, 'u'), Text(1));
}

TEST_P(StringTableReadTest, MissingTextsAndSections) {
    ASSERT_EQ(2, Read("[ENUMKEYS]\r\nK0=A\r\nK1=B\r\n[ENGLISH]\r\nA=a text\r\n"));
    EXPECT_EQ("a text", Text(0));
    EXPECT_EQ("String Error!", Text(1));
    ASSERT_EQ(2, Read("[ENUMKEYS]\r\nK0=A\r\nK1=B\r\n[ENGLISH]\r\nA=a text\r\n", "FRENCH"));
    EXPECT_EQ("String Error!", Text(0));
    // Without a key list the table is empty, but nothing fails.
    EXPECT_EQ(0, Read("[ENGLISH]\r\nA=a text\r\n"));
    EXPECT_STREQ("A: String Error", LookupString(*table_, "a"));
}

TEST_P(StringTableReadTest, EscapesAreRewrittenAfterReading) {
    ASSERT_EQ(1, Read("[ENUMKEYS]\r\nK0=A\r\n[ENGLISH]\r\nA=one\\ntwo\\tthree\\\\x\r\n"));
    EXPECT_EQ("one \ntwo \tthree\\\\x", Text(0));
}

INSTANTIATE_TEST_SUITE_P(Stores, StringTableReadTest, ::testing::ValuesIn(Kinds()),
                         [](const ::testing::TestParamInfo<StoreKind>& param) {
                             return std::string(param.param.name);
                         });

TEST(RewriteTextEscapesTest, Examples) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"A\\nB\\t", "A \nB \t"},
        {"\\\\n", "\\ \n"},  // the second backslash starts the escape
        {"ends with \\", "ends with \\"},
        {"\\x \\N \\T", "\\x \\N \\T"},  // only lower-case n and t
        {"\\n\\n", " \n \n"},
        {"\\", "\\"},
        {"", ""},
    };
    for (const Case& c : cases) {
        char text[32];
        strcpy(text, c.in);
        RewriteTextEscapes(text);
        EXPECT_STREQ(c.out, text) << c.in;
        EXPECT_EQ(strlen(c.in), strlen(text)) << c.in;
    }
}

class LookupStringTest : public ::testing::Test {
protected:
    void SetUp() override { table_ = new StringTable(); }
    void TearDown() override { delete table_; }
    void AddRow(const char* key, const char* text) {
        StringEntry& row = table_->rows[table_->count++];
        strcpy(row.key, key);
        strcpy(row.text, text);
    }
    StringTable* table_;
};

TEST_F(LookupStringTest, BeforeLoadingEveryLookupMisses) {
    EXPECT_STREQ("SETUP_CAPTION: String Error", LookupString(*table_, "SETUP_CAPTION"));
    EXPECT_STREQ("SETUP_CAPTION: String Error", LookupString(*table_, "setup_caption"));
}

TEST_F(LookupStringTest, LongKeysAreComparedOnTheirFirst64Characters) {
    std::string key62(62, 'K');  // the longest key a load can store
    AddRow(key62.c_str(), "found");
    EXPECT_STREQ("found", LookupString(*table_, std::string(62, 'k').c_str()));
    // Whatever follows is part of the key up to 64 characters: no prefix match.
    EXPECT_STREQ((key62 + "X: String Error").c_str(), LookupString(*table_, (key62 + "x").c_str()));
    // The error text keeps the first 64 characters and fits the shared buffer.
    std::string miss = std::string(64, 'q') + std::string(200, 'r');
    const char* result = LookupString(*table_, miss.c_str());
    EXPECT_EQ(std::string(64, 'Q') + ": String Error", result);
    EXPECT_LT(strlen(result), sizeof table_->lookup);
}

TEST_F(LookupStringTest, TheSharedBufferIsOverwrittenByTheNextLookup) {
    AddRow("SETUP_CAPTION", "ZarBelPC Setup");
    AddRow("SETUP_ABORTED", "Setup was aborted.");
    // Caption looked up first, then the text, as every message box of the setup does.
    const char* caption = LookupString(*table_, "GLOBAL_WARNING");
    const char* text = LookupString(*table_, "setup_lost");
    EXPECT_STREQ("SETUP_LOST: String Error", text);
    EXPECT_STREQ("SETUP_LOST: String Error", caption);
    // Only the caption misses: the text's hit leaves its upper-cased key in the buffer.
    caption = LookupString(*table_, "GLOBAL_WARNING");
    text = LookupString(*table_, "setup_aborted");
    EXPECT_STREQ("Setup was aborted.", text);
    EXPECT_STREQ("SETUP_ABORTED", caption);
    // A hit returns the row's own text, which stays valid.
    EXPECT_EQ(table_->rows[0].text, LookupString(*table_, "SETUP_CAPTION"));
}

}  // namespace
