#include "platform/Text.h"

#include <cstdio>
#include <cstring>

namespace text {

void UpperInPlace(char* s) {
    for (; *s != '\0'; ++s) {
        *s = Upper(*s);
    }
}

bool EqualsNoCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (Upper(*a) != Upper(*b)) {
            return false;
        }
    }
    return *a == *b;
}

int Copy(char* dst, size_t size, const char* src) {
    if (size == 0) {
        return 0;
    }
    size_t length = strlen(src);
    if (length >= size) {
        memcpy(dst, src, size - 1);
        dst[size - 1] = '\0';
        return 0;
    }
    memcpy(dst, src, length + 1);
    return 1;
}

int JoinPath(char* dst, size_t size, const char* folder, const char* name) {
    if (size == 0) {
        return 0;
    }
    int written = snprintf(dst, size, "%s\\%s", folder, name);
    if (written < 0 || static_cast<size_t>(written) >= size) {
        dst[0] = '\0';
        return 0;
    }
    return 1;
}

}  // namespace text
