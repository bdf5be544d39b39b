// The full name read from a font's name table: which record wins, what is refused, and that no
// cut or damaged font is read past its end.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "doubles/TestFont.h"
#include "platform/TrueTypeName.h"

namespace {

std::string Name(const std::vector<uint8_t>& font, size_t outSize = font::kFullNameSize) {
    std::vector<char> out(outSize + 1, 'x');
    int found = font::FullName(font.data(), font.size(), out.data(), outSize);
    if (!found) {
        EXPECT_STREQ("", out.data()) << "a refused name leaves nothing behind";
        return "<none>";
    }
    return out.data();
}

TEST(TrueTypeName, WhichRecordIsTakenAndWhatIsRefused) {
    struct Row {
        const char* what;
        std::vector<TestFontName> names;
        const char* expected;
    };
    const Row rows[] = {
        {"Macintosh and Windows",
         {{1, 0, 0, "Mac Name"}, {3, 1, 0x0409, Utf16Be("Win Name")}},
         "Win Name"},
        {"US English over another language",
         {{3, 1, 0x0410, Utf16Be("Nome")}, {3, 1, 0x0409, Utf16Be("Name")}},
         "Name"},
        {"another language only", {{3, 1, 0x0410, Utf16Be("Nome")}}, "Nome"},
        {"Macintosh only", {{1, 0, 0, "Mac Name"}}, "Mac Name"},
        {"a symbol font", {{3, 0, 0x0409, Utf16Be("Symbols")}}, "Symbols"},
        {"Latin-1 in Windows-1252", {{3, 1, 0x0409, Utf16Be("Caf\xE9 Bold")}}, "Caf\xE9 Bold"},
        {"outside Latin-1", {{3, 1, 0x0409, std::string("\x04\x16", 2)}}, "<none>"},
        {"a control character", {{3, 1, 0x0409, Utf16Be("A\tB")}}, "<none>"},
        {"an odd byte count", {{3, 1, 0x0409, std::string("\0A\0", 3)}}, "<none>"},
        {"Macintosh beyond ASCII", {{1, 0, 0, "Caf\x8E"}}, "<none>"},
        {"an empty name", {{3, 1, 0x0409, ""}}, "<none>"},
        {"only other platforms", {{0, 3, 0, Utf16Be("Unicode")}}, "<none>"},
        {"no records", {}, "<none>"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, Name(TestFontBytes(row.names))) << row.what;
    }
    // A name that does not fit is refused, not cut.
    std::vector<uint8_t> font = TestFontBytes({{3, 1, 0x0409, Utf16Be("Twelve chars")}});
    EXPECT_EQ("Twelve chars", Name(font, 13));
    EXPECT_EQ("<none>", Name(font, 12));
}

TEST(TrueTypeName, CutOrDamagedFontsAreNotRead) {
    std::vector<uint8_t> font = TestFontBytes({{3, 1, 0x0409, Utf16Be("Whole")}});
    ASSERT_EQ("Whole", Name(font));
    for (size_t size = 0; size < font.size(); ++size) {
        std::vector<uint8_t> cut(font.begin(), font.begin() + size);
        EXPECT_EQ("<none>", Name(cut)) << size;
    }
    struct Damage {
        const char* what;
        size_t at;
        uint8_t value;
    };
    const Damage damages[] = {
        {"an OpenType CFF font", 0, 'O'},          {"65535 tables", 4, 0xFF},
        {"the name table past the end", 20, 0x7F}, {"a name table longer than the file", 24, 0x7F},
        {"65535 name records", 30, 0xFF},          {"the storage past the table", 32, 0xFF},
        {"a string past the storage", 44, 0xFF},
    };
    for (const Damage& damage : damages) {
        std::vector<uint8_t> bad = font;
        bad[damage.at] = damage.value;
        EXPECT_EQ("<none>", Name(bad)) << damage.what;
    }
    EXPECT_EQ(0, font::FullName(nullptr, 0, nullptr, 0));
}

// The font the payload ships by default, when this machine has it.
TEST(TrueTypeName, TheShippedFontIsDejaVuSansBold) {
    std::ifstream file("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", std::ios::binary);
    if (!file) {
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    EXPECT_EQ("DejaVu Sans Bold", Name(bytes));
}

}  // namespace
