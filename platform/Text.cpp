#include "platform/Text.h"

#include <cstring>

namespace text {

void UpperInPlace(char* s) {
    for (; *s != '\0'; ++s) {
        *s = Upper(*s);
    }
}

bool EqualNoCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (Upper(*a) != Upper(*b)) {
            return false;
        }
    }
    return *a == *b;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (*text == '\0' || Upper(*text) != Upper(*prefix)) {
            return false;
        }
    }
    return true;
}

bool Copy(char* dst, size_t size, const char* src) {
    if (size == 0) {
        return false;
    }
    size_t length = strlen(src);
    if (length >= size) {
        memcpy(dst, src, size - 1);
        dst[size - 1] = '\0';
        return false;
    }
    memcpy(dst, src, length + 1);
    return true;
}

bool Append(char* dst, size_t size, const char* src) {
    size_t used = strnlen(dst, size);
    size_t length = strlen(src);
    if (used >= size || length >= size - used) {
        return false;
    }
    memcpy(dst + used, src, length + 1);
    return true;
}

}  // namespace text

namespace path {

bool Join(char* dst, size_t size, const char* folder, const char* name) {
    if (size == 0) {
        return false;
    }
    dst[0] = '\0';
    if (!text::Append(dst, size, folder) || !text::Append(dst, size, "\\") ||
        !text::Append(dst, size, name)) {
        dst[0] = '\0';
        return false;
    }
    return true;
}

bool FolderOf(char* dst, size_t size, const char* filePath) {
    if (size == 0) {
        return false;
    }
    const char* lastSeparator = strrchr(filePath, '\\');
    size_t length = lastSeparator != nullptr ? static_cast<size_t>(lastSeparator - filePath) : 0;
    if (length >= size) {
        dst[0] = '\0';
        return false;
    }
    memcpy(dst, filePath, length);
    dst[length] = '\0';
    return true;
}

}  // namespace path
