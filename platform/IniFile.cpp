#include "platform/IniFile.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/NativePath.h"

namespace ini {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(const std::string& a, const char* b) {
    size_t length = strlen(b);
    if (a.size() != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (Upper(a[i]) != Upper(b[i])) {
            return false;
        }
    }
    return true;
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

// One line of the file as the profile functions see it.
struct Line {
    enum Kind { kOther, kSection, kEntry } kind = kOther;
    std::string name;   // section or key name, trimmed
    std::string value;  // entry value, trimmed
    std::string raw;    // the line as stored, without its line end
};

std::vector<Line> Parse(const std::string& text) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        Line line;
        line.raw = text.substr(start, end - start);
        if (!line.raw.empty() && line.raw.back() == '\r') {
            line.raw.pop_back();
        }
        std::string trimmed = Trim(line.raw);
        if (!trimmed.empty() && trimmed[0] == '[') {
            size_t close = trimmed.find(']');
            line.kind = Line::kSection;
            line.name =
                Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else {
            size_t equals = trimmed.find('=');
            if (equals != std::string::npos) {
                line.kind = Line::kEntry;
                line.name = Trim(trimmed.substr(0, equals));
                line.value = Trim(trimmed.substr(equals + 1));
                // Like the platform, one pair of enclosing quotes is taken away.
                if (line.value.size() >= 2 &&
                    (line.value.front() == '"' || line.value.front() == '\'') &&
                    line.value.back() == line.value.front()) {
                    line.value = line.value.substr(1, line.value.size() - 2);
                }
            }
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
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

unsigned CopyCut(const std::string& value, char* out, unsigned size) {
    if (size == 0) {
        return 0;
    }
    size_t count = value.size() < size - 1 ? value.size() : size - 1;
    memcpy(out, value.data(), count);
    out[count] = '\0';
    return static_cast<unsigned>(count);
}

}  // namespace

unsigned ReadText(const std::string& text, const char* section, const char* key,
                  const char* defaultValue, char* out, unsigned size) {
    bool inSection = false;
    for (const Line& line : Parse(text)) {
        if (line.kind == Line::kSection) {
            inSection = SameName(line.name, section);
        } else if (inSection && line.kind == Line::kEntry && SameName(line.name, key)) {
            return CopyCut(line.value, out, size);
        }
    }
    // The platform drops trailing blanks from the default as well.
    std::string fallback = defaultValue != nullptr ? defaultValue : "";
    while (!fallback.empty() && IsBlank(fallback.back())) {
        fallback.pop_back();
    }
    return CopyCut(fallback, out, size);
}

std::string WriteText(const std::string& text, const char* section, const char* key,
                      const char* value) {
    std::vector<Line> lines = Parse(text);
    std::string entry = std::string(key) + "=" + value;
    int sectionAt = -1;
    int lastInSection = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::kSection) {
            if (sectionAt >= 0) {
                break;
            }
            if (SameName(lines[i].name, section)) {
                sectionAt = static_cast<int>(i);
                lastInSection = sectionAt;
            }
        } else if (sectionAt >= 0) {
            if (lines[i].kind == Line::kEntry && SameName(lines[i].name, key)) {
                lines[i].raw = entry;
                lastInSection = -2;  // replaced
                break;
            }
            if (!Trim(lines[i].raw).empty()) {
                lastInSection = static_cast<int>(i);
            }
        }
    }
    std::vector<std::string> out;
    for (const Line& line : lines) {
        out.push_back(line.raw);
    }
    if (sectionAt < 0) {
        out.push_back(std::string("[") + section + "]");
        out.push_back(entry);
    } else if (lastInSection >= 0) {
        out.insert(out.begin() + lastInSection + 1, entry);
    }
    std::string result;
    for (const std::string& line : out) {
        result += line;
        result += "\r\n";
    }
    return result;
}

unsigned Read(const char* path, const char* section, const char* key, const char* defaultValue,
              char* out, unsigned size) {
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

unsigned IniProfileStore::ReadString(const char* section, const char* key, const char* defaultValue,
                                     char* out, unsigned size, const char* file) {
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
