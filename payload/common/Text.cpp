// Bounded text and path helpers shared by the payload programs.
#include "Text.h"

#include <cstring>

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

namespace text {

int Copy(char* out, size_t outSize, const char* src) {
    if (outSize == 0) {
        return 0;
    }
    size_t length = strlen(src);
    if (length < outSize) {
        memcpy(out, src, length + 1);
        return 1;
    }
    memcpy(out, src, outSize - 1);
    out[outSize - 1] = '\0';
    return 0;
}

int Append(char* out, size_t outSize, const char* src) {
    size_t used = strnlen(out, outSize);
    size_t length = strlen(src);
    if (used >= outSize || length >= outSize - used) {
        return 0;
    }
    memcpy(out + used, src, length + 1);
    return 1;
}

int EqualNoCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (Lower(*a) != Lower(*b)) {
            return 0;
        }
    }
    return *a == *b ? 1 : 0;
}

int StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (*text == '\0' || Lower(*text) != Lower(*prefix)) {
            return 0;
        }
    }
    return 1;
}

}  // namespace text

namespace path {

int Join(char* out, size_t outSize, const char* folder, const char* name) {
    if (outSize == 0) {
        return 0;
    }
    out[0] = '\0';
    size_t folderLength = strlen(folder);
    int needsSeparator = folderLength == 0 || folder[folderLength - 1] != '\\';
    if (!text::Append(out, outSize, folder) ||
        (needsSeparator && !text::Append(out, outSize, "\\")) ||
        !text::Append(out, outSize, name)) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

int FolderOf(char* out, size_t outSize, const char* filePath) {
    if (outSize == 0) {
        return 0;
    }
    const char* lastSeparator = strrchr(filePath, '\\');
    size_t length = lastSeparator != nullptr ? static_cast<size_t>(lastSeparator - filePath) : 0;
    if (length >= outSize) {
        out[0] = '\0';
        return 0;
    }
    memcpy(out, filePath, length);
    out[length] = '\0';
    return 1;
}

}  // namespace path
