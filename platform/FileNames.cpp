#include "platform/FileNames.h"

#include <cstring>

namespace names {

// Windows-1252 letters and their capitals, as the file system folds them.
unsigned char Fold(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<unsigned char>(c - 0x20);
    }
    switch (c) {
        case 0x9A:  // s caron
        case 0x9C:  // oe
        case 0x9E:  // z caron
            return static_cast<unsigned char>(c - 0x10);
        case 0xFF:  // y diaeresis
            return 0x9F;
        default:
            return c;
    }
}

namespace {

bool IsTrimmed(char c) {
    return c == '.' || c == ' ';
}

// The length of a path once the trailing dots and blanks of its last component are dropped.
size_t NormalLength(const char* path) {
    size_t length = strlen(path);
    while (length > 0 && IsTrimmed(path[length - 1])) {
        --length;
    }
    return length;
}

bool IsDeviceName(const char* name) {
    // Windows looks at the part before the first dot, blanks at its end ignored ("NUL .txt").
    size_t stem = strcspn(name, ".");
    while (stem > 0 && name[stem - 1] == ' ') {
        --stem;
    }
    char upper[8];
    if (stem >= sizeof upper) {
        return false;
    }
    for (size_t i = 0; i < stem; ++i) {
        upper[i] = static_cast<char>(Fold(static_cast<unsigned char>(name[i])));
    }
    upper[stem] = '\0';
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        if (strcmp(upper, device) == 0) {
            return true;
        }
    }
    if (stem != 4 || (strncmp(upper, "COM", 3) != 0 && strncmp(upper, "LPT", 3) != 0)) {
        return false;
    }
    unsigned char digit = static_cast<unsigned char>(upper[3]);
    return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

}  // namespace

const char* WhyNotStored(const char* name) {
    size_t length = strlen(name);
    if (length == 0 || strcmp(name, ".") == 0 || strcmp(name, "..") == 0) {
        return "not a file name";
    }
    if (length > kMaxNameLength) {
        return "longer than 255 characters";
    }
    for (const char* p = name; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32 || strchr("<>:\"/\\|?*", c) != nullptr) {
            return "holds a character Windows does not allow in names";
        }
    }
    if (IsTrimmed(name[length - 1])) {
        return "ends in a dot or a blank, which Windows drops";
    }
    if (IsDeviceName(name)) {
        return "is a device name on Windows";
    }
    return nullptr;
}

bool SameFile(const char* a, const char* b) {
    size_t length = NormalLength(a);
    if (NormalLength(b) != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace names
