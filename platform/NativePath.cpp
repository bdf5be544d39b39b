#include "platform/NativePath.h"

#include <cstring>

int ToNativePath(const char* path, char* out, size_t size) {
    size_t length = strlen(path);
    if (size == 0 || length >= size) {
        return 0;
    }
    for (size_t i = 0; i < length; ++i) {
        out[i] = (path[i] == '\\') ? kNativeSeparator : path[i];
    }
    out[length] = '\0';
    return 1;
}
