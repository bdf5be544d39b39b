// A TrueType font reduced to what the name reader looks at: the offset table, one table record
// ('name') and a name table with the given full-name records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestFontName {
    uint16_t platform;
    uint16_t encoding;
    uint16_t language;
    std::string text;  // bytes as stored (UTF-16BE for Windows records)
};

// UTF-16BE of an ASCII or Latin-1 text.
inline std::string Utf16Be(const std::string& text) {
    std::string wide;
    for (unsigned char c : text) {
        wide += '\0';
        wide += static_cast<char>(c);
    }
    return wide;
}

inline std::vector<uint8_t> TestFontBytes(const std::vector<TestFontName>& names) {
    auto put16 = [](std::vector<uint8_t>& out, size_t value) {
        out.push_back(static_cast<uint8_t>(value >> 8));
        out.push_back(static_cast<uint8_t>(value));
    };
    auto put32 = [&put16](std::vector<uint8_t>& out, size_t value) {
        put16(out, value >> 16);
        put16(out, value & 0xFFFF);
    };
    std::vector<uint8_t> table;
    put16(table, 0);
    put16(table, names.size());
    put16(table, 6 + 12 * names.size());
    std::string storage;
    for (const TestFontName& name : names) {
        put16(table, name.platform);
        put16(table, name.encoding);
        put16(table, name.language);
        put16(table, 4);  // full name
        put16(table, name.text.size());
        put16(table, storage.size());
        storage += name.text;
    }
    table.insert(table.end(), storage.begin(), storage.end());

    std::vector<uint8_t> font;
    put32(font, 0x00010000);
    put16(font, 1);
    put16(font, 16);
    put16(font, 0);
    put16(font, 0);
    font.insert(font.end(), {'n', 'a', 'm', 'e'});
    put32(font, 0);   // checksum: not read
    put32(font, 28);  // right after this one record
    put32(font, table.size());
    font.insert(font.end(), table.begin(), table.end());
    return font;
}

// The shape of the fonts the product ships: a Macintosh and a Windows US English full name.
inline std::string TestFont(const std::string& fullName) {
    std::vector<uint8_t> bytes =
        TestFontBytes({{1, 0, 0, fullName}, {3, 1, 0x0409, Utf16Be(fullName)}});
    return std::string(bytes.begin(), bytes.end());
}
