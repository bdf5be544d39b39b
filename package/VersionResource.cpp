#include "package/VersionResource.h"

#include <cstring>

#include "platform/ByteOrder.h"

namespace version {

namespace {

constexpr uint32_t kHeaderSize = 6;

uint32_t Align4(uint32_t offset) {
    return (offset + 3) & ~3u;
}

}  // namespace

int ReadBlock(const unsigned char* data, uint32_t limit, uint32_t at, Block* block) {
    if (at > limit || limit - at < kHeaderSize) {
        return 0;
    }
    uint32_t length = ReadUInt16LE(data + at);
    if (length < kHeaderSize || length > limit - at) {
        return 0;
    }
    Block b;
    b.start = at;
    b.end = at + length;
    b.valueLength = ReadUInt16LE(data + at + 2);
    b.type = ReadUInt16LE(data + at + 4);
    b.keyAt = at + kHeaderSize;
    uint32_t unit = b.keyAt;
    while (unit + 2 <= b.end && ReadUInt16LE(data + unit) != 0) {
        unit += 2;
    }
    if (unit + 2 > b.end) {
        return 0;  // the key has no NUL within the block
    }
    b.keyUnits = (unit - b.keyAt) / 2;
    b.valueAt = Align4(unit + 2);
    uint32_t wanted = b.type == 1 ? 2u * b.valueLength : b.valueLength;
    if (b.valueAt > b.end) {
        b.valueAt = b.end;
    }
    if (wanted > b.end - b.valueAt) {
        // Some writers count a text value in bytes; what lies within the block is the value.
        wanted = b.end - b.valueAt;
    }
    b.valueSize = wanted;
    b.childrenAt = Align4(b.valueAt + b.valueSize);
    *block = b;
    return 1;
}

bool KeyIs(const unsigned char* data, const Block& block, const char* key) {
    size_t length = strlen(key);
    if (block.keyUnits != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (ReadUInt16LE(data + block.keyAt + 2 * i) != static_cast<unsigned char>(key[i])) {
            return false;
        }
    }
    return true;
}

int FindString(const unsigned char* data, uint32_t size, const char* key, char* out,
               size_t outSize) {
    if (outSize == 0) {
        return 0;
    }
    out[0] = '\0';
    Block root;
    if (data == nullptr || !ReadBlock(data, size, 0, &root) ||
        !KeyIs(data, root, "VS_VERSION_INFO")) {
        return 0;
    }
    // Root -> StringFileInfo -> string tables -> strings.
    for (uint32_t at = root.childrenAt; at < root.end;) {
        Block info;
        if (!ReadBlock(data, root.end, at, &info)) {
            return 0;
        }
        if (KeyIs(data, info, "StringFileInfo")) {
            for (uint32_t t = info.childrenAt; t < info.end;) {
                Block table;
                if (!ReadBlock(data, info.end, t, &table)) {
                    return 0;
                }
                for (uint32_t s = table.childrenAt; s < table.end;) {
                    Block entry;
                    if (!ReadBlock(data, table.end, s, &entry)) {
                        return 0;
                    }
                    if (KeyIs(data, entry, key)) {
                        size_t n = 0;
                        for (uint32_t u = entry.valueAt; u + 2 <= entry.valueAt + entry.valueSize;
                             u += 2) {
                            uint16_t c = ReadUInt16LE(data + u);
                            if (c == 0) {
                                break;
                            }
                            if (n + 1 >= outSize) {
                                out[0] = '\0';
                                return 0;
                            }
                            out[n++] = c <= 0xFF ? static_cast<char>(c) : '?';
                        }
                        out[n] = '\0';
                        return n > 0;
                    }
                    s = Align4(entry.end);
                }
                t = Align4(table.end);
            }
        }
        at = Align4(info.end);
    }
    return 0;
}

}  // namespace version
