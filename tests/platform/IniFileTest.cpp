// One suite for the settings file functions: the portable reader/writer everywhere and, in the
// Windows build under wine64, the platform's own private-profile functions. Both must agree.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <memory>

#include "doubles/Scratch.h"
#include "platform/IniFile.h"
#ifdef _WIN32
#include "platform/Win32Adapters.h"
#endif

namespace {

struct StoreKind {
    const char* name;
    std::function<ProfileStore*(const std::string& windowsFolder)> make;
};

std::vector<StoreKind> Kinds() {
    std::vector<StoreKind> kinds = {
        {"portable",
         [](const std::string& folder) -> ProfileStore* { return new IniProfileStore(folder); }},
    };
#ifdef _WIN32
    // The real functions own their store; wrap it so the test can delete what it gets.
    struct Borrowed : ProfileStore {
        size_t ReadString(const char* s, const char* k, const char* d, char* o, size_t n,
                          const char* f) override {
            return Win32Profile().ReadString(s, k, d, o, n, f);
        }
        int WriteString(const char* s, const char* k, const char* v, const char* f) override {
            return Win32Profile().WriteString(s, k, v, f);
        }
    };
    kinds.push_back({"win32", [](const std::string&) -> ProfileStore* { return new Borrowed(); }});
#endif
    return kinds;
}

class ProfileStoreTest : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override { store_.reset(GetParam().make(scratch_.path())); }
    std::string Read(const std::string& file, const char* section, const char* key,
                     const char* def = "DEF", size_t size = 256) {
        char out[512];
        store_->ReadString(section, key, def, out, size, file.c_str());
        return out;
    }
    ScratchFolder scratch_;
    std::unique_ptr<ProfileStore> store_;
};

TEST_P(ProfileStoreTest, MissingFileOrKeyGivesTheDefault) {
    std::string file = scratch_.Join("none.ini");
    EXPECT_EQ("DEF", Read(file, "SETTINGS", "CURRLANGUAGE"));
    ASSERT_TRUE(WriteFileText(file, "[SETTINGS]\r\nOTHER=1\r\n"));
    EXPECT_EQ("DEF", Read(file, "SETTINGS", "CURRLANGUAGE"));
    EXPECT_EQ("DEF", Read(file, "NOSECTION", "OTHER"));
}

TEST_P(ProfileStoreTest, NamesMatchWithoutCaseAndBlanksAreIgnored) {
    std::string crlf = scratch_.Join("crlf.ini");
    std::string lf = scratch_.Join("lf.ini");
    const char* body =
        "[Settings]\n  CurrLanguage  =  ENGLISH  \nExeMode=0\n[PATH]\nSONGDIR=C:\\Z\\SONGS\n";
    std::string withCr;
    for (const char* p = body; *p != '\0'; ++p) {
        if (*p == '\n') {
            withCr += '\r';
        }
        withCr += *p;
    }
    ASSERT_TRUE(WriteFileText(lf, body));
    ASSERT_TRUE(WriteFileText(crlf, withCr));
    for (const std::string& file : {lf, crlf}) {
        EXPECT_EQ("ENGLISH", Read(file, "SETTINGS", "CURRLANGUAGE")) << file;
        EXPECT_EQ("ENGLISH", Read(file, "settings", "currlanguage")) << file;
        EXPECT_EQ("0", Read(file, "SETTINGS", "EXEMODE")) << file;
        EXPECT_EQ("C:\\Z\\SONGS", Read(file, "path", "SongDir")) << file;
    }
}

TEST_P(ProfileStoreTest, ValueIsCutToTheBufferSizeMinusOne) {
    std::string file = scratch_.Join("cut.ini");
    ASSERT_TRUE(WriteFileText(file, "[S]\r\nK=ABCDEFGHIJ\r\n"));
    char out[16];
    memset(out, 'x', sizeof out);
    size_t copied = store_->ReadString("S", "K", "", out, 5, file.c_str());
    EXPECT_EQ(4u, copied);
    EXPECT_STREQ("ABCD", out);
    EXPECT_EQ('x', out[5]) << "wrote past the buffer";
}

TEST_P(ProfileStoreTest, WriteCreatesFileAndSectionAndReplacesValues) {
    std::string file = scratch_.Join("new.ini");
    ASSERT_EQ(1, store_->WriteString("SETTINGS", "CURRLANGUAGE", "ITALIANO", file.c_str()));
    EXPECT_EQ("ITALIANO", Read(file, "SETTINGS", "CURRLANGUAGE"));
    ASSERT_EQ(1, store_->WriteString("settings", "currlanguage", "ENGLISH", file.c_str()));
    ASSERT_EQ(1, store_->WriteString("SETTINGS", "EXEMODE", "0", file.c_str()));
    ASSERT_EQ(
        1, store_->WriteString("PATH", "Installpath", "C:\\Program Files\\ZarbelPC", file.c_str()));
    EXPECT_EQ("ENGLISH", Read(file, "SETTINGS", "CURRLANGUAGE"));
    EXPECT_EQ("0", Read(file, "SETTINGS", "EXEMODE"));
    EXPECT_EQ("C:\\Program Files\\ZarbelPC", Read(file, "PATH", "INSTALLPATH"));
    // Replacing must not leave a second entry behind.
    std::string text = ReadFileText(file);
    EXPECT_EQ(std::string::npos, text.find("ITALIANO")) << text;
}

TEST_P(ProfileStoreTest, WriteKeepsOtherSectionsAndKeys) {
    std::string file = scratch_.Join("keep.ini");
    ASSERT_TRUE(WriteFileText(file, "[Options]\r\nVolume=80\r\n\r\n[PATH]\r\nInstallpath=X\r\n"));
    ASSERT_EQ(1, store_->WriteString("Options", "FirstTime", "1", file.c_str()));
    ASSERT_EQ(1, store_->WriteString("PATH", "Installpath", "Y", file.c_str()));
    EXPECT_EQ("80", Read(file, "Options", "Volume"));
    EXPECT_EQ("1", Read(file, "OPTIONS", "FIRSTTIME"));
    EXPECT_EQ("Y", Read(file, "PATH", "Installpath"));
}

TEST_P(ProfileStoreTest, BareNameLivesInTheWindowsDirectory) {
    const char* bare = "ZbIniTest.INI";
    ASSERT_EQ(1, store_->WriteString("SETTINGS", "EXEMODE", "0", bare));
    char out[16];
    store_->ReadString("SETTINGS", "EXEMODE", "-", out, sizeof out, bare);
    EXPECT_STREQ("0", out);
#ifdef _WIN32
    std::string where = std::string(getenv("WINDIR") != nullptr ? getenv("WINDIR") : "C:\\windows");
    if (std::string(GetParam().name) == "portable") {
        where = scratch_.path();
    }
#else
    std::string where = scratch_.path();
#endif
    EXPECT_TRUE(FileExists(where + "\\" + bare)) << where;
    std::remove((where + "\\" + bare).c_str());
}

// Layouts where a straightforward reader and the platform part ways; the rows say what the
// platform's own functions give (seen under Wine).
TEST_P(ProfileStoreTest, OddLayoutsReadAsThePlatformReadsThem) {
    using namespace std::string_literals;
    const struct {
        std::string text;
        const char* section;
        const char* key;
        const char* def;
        const char* expected;
    } rows[] = {
        // A repeated section: only the first one is read, also for a key only the second has.
        {"[A]\r\nK1=1\r\n[B]\r\nX=b\r\n[a]\r\nK2=2\r\nK1=second\r\n", "A", "K1", "DEF", "1"},
        {"[A]\r\nK1=1\r\n[B]\r\nX=b\r\n[a]\r\nK2=2\r\nK1=second\r\n", "A", "K2", "DEF", "DEF"},
        {"[A]\r\nK=1\r\nK=2\r\n", "A", "K", "DEF", "1"},
        // The first line of a key counts even without "=".
        {"[S]\r\nK\r\nK=2\r\n", "S", "K", "DEF", "DEF"},
        {"[S]\r\nVT=\vv\f\r\n", "S", "VT", "DEF", "v"},
        {"[A]\r\n  IND  =  x  \r\n", " A ", " IND ", "DEF", "x"},
        // Keys before the first section belong to the section with an empty name.
        {"K0=before\r\n[A]\r\nK=1\r\n", "", "K0", "DEF", "before"},
        // A "[" line without "]" is a key line: the keys after it stay in the section before.
        {"[B]\r\nX=1\r\n[C\r\nK=open\r\n", "B", "K", "DEF", "open"},
        {"[B]\r\nX=1\r\n[C\r\nK=open\r\n", "C", "K", "DEF", "DEF"},
        {"[B]\r\n[x=1\r\n", "B", "[x", "DEF", "1"},
        // ^Z, the DOS end-of-file byte, is a blank.
        {"[S]\r\n\x1AK\x1A=\x1A v\x1A\r\n\x1A", "S", "K", "DEF", "v"},
        {"[S]\r\nK=v\r\n\x1A", "S", "\x1A", "DEF", "DEF"},
        // The name runs to the last "]".
        {"[D]]\r\nK=dd\r\n", "D", "K", "DEF", "DEF"},
        {"[D]]\r\nK=dd\r\n", "D]", "K", "DEF", "dd"},
        {"[S]\rK=cr\r[T]\rK=t\r", "T", "K", "DEF", "t"},
        {"\xEF\xBB\xBF[S]\r\nK=\xC3\xA8\xE2\x82\xAC\r\n", "S", "K", "DEF", "\xE8\x80"},
        {"[S]\r\nK=a\0b\r\nL=l\r\n"s, "S", "K", "DEF", "a"},
        {"[S]\r\nK=a\0b\r\nL=l\r\n"s, "S", "L", "DEF", "l"},
        // The value is cut at its NUL before the quotes come off.
        {"[S]\r\nK=\"a\0b\"\r\n"s, "S", "K", "DEF", "\"a"},
        {"[S]\r\nK='a'\0b\r\n"s, "S", "K", "DEF", "a"},
        {"[S]\r\n", "S", "K", "\"quoted default\"", "quoted default"},
        // A default loses its trailing spaces, never its first character, and keeps tabs.
        {"[S]\r\n", "S", "K", "   ", " "},
        {"[S]\r\n", "S", "K", "d\t  ", "d\t"},
        // Bytes that are not UTF-8 after the mark: one "?" for a lead byte and the continuation
        // bytes that fit it, or for a lead byte and a second byte out of its range; a character
        // past U+FFFF is two.
        {"\xEF\xBB\xBF[S]\r\nK=\xC3(\xE2\x82(\x80.\xE2\x82\r\n", "S", "K", "DEF", "?(?(?.?"},
        {"\xEF\xBB\xBF[S]\r\nK=\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80|\xF0\x9F\x98\x80|"
         "\xE0\x80\x80|\xF0\x9F\x98(\r\n",
         "S", "K", "DEF", "??|??|???|??|??|?("},
        // Only ASCII letters match without regard to case.
        {"[\xC9T\xC9]\r\nK=accent\r\n", "\xE9t\xE9", "K", "DEF", "DEF"},
    };
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        std::string file = scratch_.Join("odd" + std::to_string(i) + ".ini");
        ASSERT_TRUE(WriteFileText(file, rows[i].text));
        EXPECT_EQ(rows[i].expected, Read(file, rows[i].section, rows[i].key, rows[i].def))
            << "row " << i << ": [" << rows[i].section << "] " << rows[i].key;
    }
}

TEST_P(ProfileStoreTest, WritesGoToTheFirstSectionAndTheFirstKey) {
    std::string file = scratch_.Join("twice.ini");
    ASSERT_TRUE(WriteFileText(file, "[A]\r\nK=1\r\nK=one\r\n[B]\r\nX=b\r\n[A]\r\nL=2\r\n"));
    ASSERT_EQ(1, store_->WriteString("A", "L", "first", file.c_str()));
    ASSERT_EQ(1, store_->WriteString(" a ", " k ", "  spaced", file.c_str()));
    EXPECT_EQ("first", Read(file, "A", "L"));
    EXPECT_EQ("spaced", Read(file, "A", "K"));
    std::string text = ReadFileText(file);
    EXPECT_NE(std::string::npos, text.find("L=2")) << "the repeat stays as it was: " << text;
    EXPECT_NE(std::string::npos, text.find("K=one")) << text;
    EXPECT_EQ(std::string::npos, text.find("[ a ]")) << text;
}

INSTANTIATE_TEST_SUITE_P(Stores, ProfileStoreTest, ::testing::ValuesIn(Kinds()),
                         [](const ::testing::TestParamInfo<StoreKind>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
