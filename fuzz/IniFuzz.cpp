// The INI reader and writer on any text: reads stay inside their buffers, and a value written
// under well-formed names reads back unchanged while the other entries keep theirs.
#include <cstring>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/IniFile.h"

namespace {

// The blanks the reader trims around names and values (^Z, the DOS end-of-file byte, too).
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

// A name or value that survives a line of the file: no line ends, no NUL, no blanks at its ends.
bool FitsOnALine(const std::string& text) {
    if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        return false;
    }
    return text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back()));
}

bool IsSectionName(const std::string& name) {
    return !name.empty() && FitsOnALine(name) && name.find(']') == std::string::npos;
}

bool IsKeyName(const std::string& name) {
    return !name.empty() && FitsOnALine(name) && name.find('=') == std::string::npos &&
           name[0] != '[';
}

bool IsPlainValue(const std::string& value) {
    if (!FitsOnALine(value)) {
        return false;
    }
    // One pair of enclosing quotes is taken away on reading.
    return value.size() < 2 ||
           !((value.front() == '"' || value.front() == '\'') && value.back() == value.front());
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

std::string Read(const std::string& text, const std::string& section, const std::string& key) {
    char out[4096];
    size_t got = ini::ReadText(text, section.c_str(), key.c_str(), "\x01", out, sizeof out);
    FUZZ_CHECK(got >= strlen(out), key);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Fields: section, key, value, another section, another key, then the file's text.
    std::vector<std::string> fields = SplitFields(data, size, '\n', 6);
    const std::string& section = fields[0];
    const std::string& key = fields[1];
    const std::string& value = fields[2];
    const std::string& otherSection = fields[3];
    const std::string& otherKey = fields[4];
    const std::string& text = fields[5];

    // Every buffer size, down to none at all, gets a terminated text within it.
    for (unsigned bufferSize : {0u, 1u, 2u, 7u, 64u}) {
        char out[64 + 1];
        memset(out, 'x', sizeof out);
        size_t got =
            ini::ReadText(text, section.c_str(), key.c_str(), value.c_str(), out, bufferSize);
        FUZZ_CHECK(out[64] == 'x', "written past the buffer");
        if (bufferSize == 0) {
            FUZZ_CHECK(got == 0 && out[0] == 'x', "wrote into a buffer of size 0");
        } else {
            // A NUL inside a value ends the text early; the count may include it.
            FUZZ_CHECK(got < bufferSize && out[got] == '\0' && strlen(out) <= got,
                       std::to_string(got));
        }
    }

    std::string written = ini::WriteText(text, section.c_str(), key.c_str(), value.c_str());
    if (!IsSectionName(section) || !IsKeyName(key) || !IsPlainValue(value) ||
        value.size() >= 4095) {
        return 0;
    }
    FUZZ_CHECK(Read(written, section, key) == value, "the written value does not read back");
    FUZZ_CHECK(ini::WriteText(written, section.c_str(), key.c_str(), value.c_str()) == written,
               "writing the same value twice changed the file");
    if (IsSectionName(otherSection) && IsKeyName(otherKey) &&
        !(SameName(section, otherSection) && SameName(key, otherKey))) {
        FUZZ_CHECK(Read(text, otherSection, otherKey) == Read(written, otherSection, otherKey),
                   "writing one entry changed another");
    }
    return 0;
}
