// The platform's private-profile (INI) functions: a file given by bare name lives in the
// Windows directory, a file given by a path is the file at that path.
#pragma once

#include <cstddef>

class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // Copies the value (or defaultValue when the key or the file is missing) into out, cut to
    // size - 1 characters and always terminated when size > 0. Returns the characters copied.
    virtual size_t ReadString(const char* section, const char* key, const char* defaultValue,
                              char* out, size_t size, const char* file) = 0;
    // Creates the file and the section when missing and replaces an existing value.
    // Returns 1 on success, 0 on failure.
    virtual int WriteString(const char* section, const char* key, const char* value,
                            const char* file) = 0;
};
