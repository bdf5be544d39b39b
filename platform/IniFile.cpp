#include "platform/IniFile.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/NativePath.h"
#include "platform/Text.h"

namespace ini {
namespace {

// The platform's blanks: space, tab, vertical tab, form feed and ^Z, the DOS end-of-file byte
// (line ends split lines).
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// Names are compared as the platform looks them up: ASCII letters without regard to case, blanks
// around the asked name ignored (the stored name is trimmed already).
bool SameName(const std::string& a, const char* b) {
    std::string asked = Trim(b != nullptr ? b : "");
    if (a.size() != asked.size()) {
        return false;
    }
    for (size_t i = 0; i < asked.size(); ++i) {
        if (text::Upper(a[i]) != text::Upper(asked[i])) {
            return false;
        }
    }
    return true;
}

// Like the platform, one pair of enclosing quotes is taken away.
std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

constexpr unsigned kNotUtf8 = 0xFFFFFFFFu;

// Decodes the UTF-8 character at text[i]: returns the bytes it takes, with its code point in
// *code. Bytes that are not well formed (overlong forms, surrogates and code points past U+10FFFF
// included) give kNotUtf8 in *code, and the count returned is what the platform's decoder turns
// into one replacement character: the lead byte and the continuation bytes that follow it, up to
// the first that does not fit; a second byte that is a continuation byte but out of the range the
// lead allows is taken with it.
size_t DecodeUtf8(const std::string& text, size_t i, unsigned* code) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80                    ? 1
                    : lead >= 0xC2 && lead <= 0xDF ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    *code = length == 1 ? lead : kNotUtf8;
    if (length <= 1) {
        return 1;
    }
    // The second byte's range narrows where overlong or out-of-range forms would begin.
    unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    unsigned value = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        unsigned char c = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
        if (c < 0x80 || c > 0xBF) {
            return k;
        }
        if (k == 1 && (c < low || c > high)) {
            return 2;
        }
        value = (value << 6) | (c & 0x3F);
    }
    *code = value;
    return length;
}

// A text that starts with the UTF-8 mark is read as UTF-8, like the platform does; its
// characters become Windows-1252 ones, "?" where there is none ("??" past U+FFFF, two UTF-16
// units), and bytes that are not UTF-8 one "?" per replacement character.
std::string FromUtf8(const std::string& text) {
    static const unsigned kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    std::string out;
    for (size_t i = 0; i < text.size();) {
        unsigned code;
        i += DecodeUtf8(text, i, &code);
        char c = '?';
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            c = static_cast<char>(code);
        } else {
            for (unsigned k = 0; k < 32; ++k) {
                if (kHigh[k] == code && code != 0) {
                    c = static_cast<char>(0x80 + k);
                }
            }
        }
        if (code > 0xFFFF && code != kNotUtf8) {
            out += '?';
        }
        out += c;
    }
    return out;
}

}  // namespace

std::vector<Line> ParseLines(const std::string& stored) {
    static const char kUtf8Mark[] = "\xEF\xBB\xBF";
    std::string text = stored.compare(0, 3, kUtf8Mark) == 0 ? FromUtf8(stored.substr(3)) : stored;
    std::vector<Line> lines;
    size_t start = 0;
    while (start < text.size()) {
        // CR LF, LF and a lone CR each end a line.
        size_t end = text.find_first_of("\r\n", start);
        size_t next = end == std::string::npos ? text.size()
                      : (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
                          ? end + 2
                          : end + 1;
        if (end == std::string::npos) {
            end = text.size();
        }
        Line line;
        line.raw = text.substr(start, end - start);
        start = next;
        std::string trimmed = Trim(line.raw);
        if (trimmed.empty()) {
            lines.push_back(line);
            continue;
        }
        // The name runs to the last "]"; a "[" line without one is a key line ("[x=1" is the
        // key "[x").
        size_t close = trimmed[0] == '[' ? trimmed.rfind(']') : std::string::npos;
        if (close != std::string::npos) {
            line.kind = Line::kSection;
            line.name = Trim(trimmed.substr(1, close - 1));
            lines.push_back(line);
            continue;
        }
        line.kind = Line::kEntry;
        size_t equals = trimmed.find('=');
        line.name = Trim(trimmed.substr(0, equals));
        if (equals != std::string::npos) {
            line.hasValue = true;
            // The platform's strings end at a NUL byte; the quotes come off what is left.
            std::string value = Trim(trimmed.substr(equals + 1));
            line.value = Unquote(value.substr(0, value.find('\0')));
        }
        lines.push_back(line);
    }
    return lines;
}

namespace {

// The lines of the first section of that name: [*begin, *end). Lines before the first header
// make a section with an empty name. A later section of the same name is never read or
// written, as with the platform. Returns false when there is no such section.
bool FindSection(const std::vector<Line>& lines, const char* section, size_t* begin, size_t* end) {
    bool found = SameName(std::string(), section);
    *begin = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Line::kSection) {
            continue;
        }
        if (found) {
            *end = i;
            return true;
        }
        if (SameName(lines[i].name, section)) {
            found = true;
            *begin = i + 1;
        }
    }
    *end = lines.size();
    return found;
}

bool LoadFile(const char* path, std::string* text) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    char block[8192];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        text->append(block, got);
    }
    fclose(file);
    return true;
}

size_t CopyCut(const std::string& value, char* out, size_t size) {
    if (size == 0) {
        return 0;
    }
    size_t count = value.size() < size - 1 ? value.size() : size - 1;
    memcpy(out, value.data(), count);
    out[count] = '\0';
    return count;
}

}  // namespace

size_t ReadText(const std::string& text, const char* section, const char* key,
                const char* defaultValue, char* out, size_t size) {
    std::vector<Line> lines = ParseLines(text);
    size_t begin;
    size_t end;
    if (FindSection(lines, section, &begin, &end)) {
        for (size_t i = begin; i < end; ++i) {
            if (lines[i].kind == Line::kEntry && SameName(lines[i].name, key)) {
                // The first line of the key counts, even one without a value.
                if (lines[i].hasValue) {
                    return CopyCut(lines[i].value, out, size);
                }
                break;
            }
        }
    }
    // The platform drops the default's trailing spaces (never its first character) and its
    // enclosing quotes.
    std::string fallback = defaultValue != nullptr ? defaultValue : "";
    while (fallback.size() > 1 && fallback.back() == ' ') {
        fallback.pop_back();
    }
    return CopyCut(Unquote(fallback), out, size);
}

std::string WriteText(const std::string& text, const char* section, const char* key,
                      const char* value) {
    std::vector<Line> lines = ParseLines(text);
    // The platform stores the value without its leading spaces, tabs, vertical tabs and form
    // feeds; a leading ^Z stays in the file (a read trims it).
    std::string stored = value;
    stored.erase(0, stored.find_first_not_of(" \t\v\f"));  // all of it when all are blanks
    std::vector<std::string> out;
    for (const Line& line : lines) {
        out.push_back(line.raw);
    }
    size_t begin;
    size_t end;
    if (!FindSection(lines, section, &begin, &end)) {
        out.push_back("[" + Trim(section) + "]");
        out.push_back(Trim(key) + "=" + stored);
    } else {
        size_t insertAt = begin;
        bool replaced = false;
        for (size_t i = begin; i < end && !replaced; ++i) {
            if (lines[i].kind == Line::kEntry && SameName(lines[i].name, key)) {
                // The key keeps the spelling it has in the file.
                out[i] = lines[i].name + "=" + stored;
                replaced = true;
            } else if (lines[i].kind != Line::kOther) {
                insertAt = i + 1;
            }
        }
        if (!replaced) {
            out.insert(out.begin() + insertAt, Trim(key) + "=" + stored);
        }
    }
    std::string result;
    for (const std::string& line : out) {
        result += line;
        result += "\r\n";
    }
    return result;
}

size_t Read(const char* path, const char* section, const char* key, const char* defaultValue,
            char* out, size_t size) {
    std::string text;
    LoadFile(path, &text);
    return ReadText(text, section, key, defaultValue, out, size);
}

int Write(const char* path, const char* section, const char* key, const char* value) {
    std::string text;
    LoadFile(path, &text);
    std::string updated = WriteText(text, section, key, value);
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        return 0;
    }
    bool ok = fwrite(updated.data(), 1, updated.size(), file) == updated.size();
    ok = (fclose(file) == 0) && ok;
    return ok ? 1 : 0;
}

}  // namespace ini

int IniProfileStore::Resolve(const char* file, std::string* nativePath) const {
    std::string path = file;
    if (strchr(file, '\\') == nullptr && strchr(file, '/') == nullptr) {
        path = windowsFolder_ + kNativeSeparator + file;
    }
    std::vector<char> native(path.size() + 1);
    if (!ToNativePath(path.c_str(), native.data(), native.size())) {
        return 0;
    }
    *nativePath = native.data();
    return 1;
}

size_t IniProfileStore::ReadString(const char* section, const char* key, const char* defaultValue,
                                   char* out, size_t size, const char* file) {
    std::string path;
    if (!Resolve(file, &path)) {
        return ini::ReadText(std::string(), section, key, defaultValue, out, size);
    }
    return ini::Read(path.c_str(), section, key, defaultValue, out, size);
}

int IniProfileStore::WriteString(const char* section, const char* key, const char* value,
                                 const char* file) {
    std::string path;
    return Resolve(file, &path) && ini::Write(path.c_str(), section, key, value);
}
