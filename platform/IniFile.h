// A reader and writer of INI files that behaves, for everything the setup and its tools use, like
// the platform's private-profile functions: section and key names match without regard to ASCII
// case, CRLF, LF and CR line ends, blanks around names and values ignored, a missing key or file
// gives the default, a value is cut to the buffer size minus one, writing creates the file and the
// section and replaces an existing value. Only the first section of a name and the first line of
// a key count, for reading and for writing; a later repeat is never seen.
#pragma once

#include <string>
#include <vector>

#include "platform/ProfileStore.h"

namespace ini {

// Reads from the file at a native path. Returns the characters copied into out.
size_t Read(const char* path, const char* section, const char* key, const char* defaultValue,
            char* out, size_t size);
// Writes to the file at a native path. Returns 1 on success, 0 when the file cannot be written.
int Write(const char* path, const char* section, const char* key, const char* value);

// One line of an INI text as the reader sees it. kOther: a blank line, which the reader skips (a
// "[" line without "]" is a key line).
struct Line {
    enum Kind { kOther, kSection, kEntry } kind = kOther;
    std::string name;       // section or key name, trimmed
    std::string value;      // entry value, trimmed and unquoted
    bool hasValue = false;  // a key line without "=" reads as a missing value
    std::string raw;        // the line as stored (decoded from UTF-8 after its mark), no line end
};
// The lines of an INI text, split and classified as the reader does.
std::vector<Line> ParseLines(const std::string& text);

// The same over text in memory (used by the file functions and by the tools' checks).
size_t ReadText(const std::string& text, const char* section, const char* key,
                const char* defaultValue, char* out, size_t size);
std::string WriteText(const std::string& text, const char* section, const char* key,
                      const char* value);

}  // namespace ini

// The private-profile functions for a native build: a bare file name lives in the folder that
// stands for the Windows directory; a path with a separator is used as it is (mapped).
class IniProfileStore : public ProfileStore {
public:
    explicit IniProfileStore(std::string windowsFolder)
        : windowsFolder_(std::move(windowsFolder)) {}
    size_t ReadString(const char* section, const char* key, const char* defaultValue, char* out,
                      size_t size, const char* file) override;
    int WriteString(const char* section, const char* key, const char* value,
                    const char* file) override;

private:
    int Resolve(const char* file, std::string* nativePath) const;
    std::string windowsFolder_;
};
