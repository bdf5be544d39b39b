#include "platform/TrueTypeName.h"

#include <cstring>

#include "platform/ByteOrder.h"

namespace font {

namespace {

constexpr size_t kOffsetTableSize = 12;
constexpr size_t kTableRecordSize = 16;
constexpr size_t kNameHeaderSize = 6;
constexpr size_t kNameRecordSize = 12;
constexpr uint16_t kFullNameId = 4;
constexpr uint16_t kPlatformMacintosh = 1;
constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kWindowsUnicodeBmp = 1;
constexpr uint16_t kWindowsSymbol = 0;
constexpr uint16_t kMacRoman = 0;
constexpr uint16_t kUsEnglish = 0x0409;

struct Record {
    uint16_t platform;
    uint16_t encoding;
    uint16_t language;
    size_t offset;  // from the start of the font
    size_t length;
};

// Better records rank higher; 0: not usable.
int Rank(const Record& r) {
    if (r.platform == kPlatformWindows &&
        (r.encoding == kWindowsUnicodeBmp || r.encoding == kWindowsSymbol)) {
        return r.language == kUsEnglish ? 3 : 2;
    }
    return r.platform == kPlatformMacintosh && r.encoding == kMacRoman ? 1 : 0;
}

int Put(char* out, size_t outSize, size_t* used, unsigned code) {
    // Latin-1 is Windows-1252 from 0xA0 up; below it only printable ASCII.
    if (code < 0x20 || (code >= 0x7F && code < 0xA0) || code > 0xFF || *used + 1 >= outSize) {
        return 0;
    }
    out[(*used)++] = static_cast<char>(code);
    return 1;
}

int Decode(const uint8_t* data, const Record& r, char* out, size_t outSize) {
    size_t used = 0;
    if (r.platform == kPlatformWindows) {
        if (r.length % 2 != 0) {
            return 0;
        }
        for (size_t i = 0; i < r.length; i += 2) {
            if (!Put(out, outSize, &used, ReadUInt16BE(data + r.offset + i))) {
                return 0;
            }
        }
    } else {
        for (size_t i = 0; i < r.length; ++i) {
            // Macintosh Roman agrees with ASCII only.
            unsigned code = data[r.offset + i];
            if (code >= 0x80 || !Put(out, outSize, &used, code)) {
                return 0;
            }
        }
    }
    out[used] = '\0';
    return used > 0;
}

// Finds the 'name' table of the font in data[0, size). Returns 1 with its place, or 0.
int FindNameTable(const uint8_t* data, size_t size, size_t* nameOffset, size_t* nameLength) {
    if (data == nullptr || size < kOffsetTableSize) {
        return 0;
    }
    uint32_t version = ReadUInt32BE(data);
    if (version != 0x00010000u && version != 0x74727565u /* 'true' */) {
        return 0;
    }
    size_t tables = ReadUInt16BE(data + 4);
    if (tables > (size - kOffsetTableSize) / kTableRecordSize) {
        return 0;
    }
    *nameOffset = 0;
    *nameLength = 0;
    for (size_t i = 0; i < tables; ++i) {
        const uint8_t* record = data + kOffsetTableSize + i * kTableRecordSize;
        if (memcmp(record, "name", 4) == 0) {
            *nameOffset = ReadUInt32BE(record + 8);
            *nameLength = ReadUInt32BE(record + 12);
            break;
        }
    }
    return *nameLength >= kNameHeaderSize && *nameOffset <= size &&
           *nameLength <= size - *nameOffset;
}

// The best-ranked full-name record of the name table at data[nameOffset, +nameLength) whose
// string lies inside the table's storage area. Returns 1 with it in best, or 0 when none is
// usable.
int BestFullName(const uint8_t* data, size_t nameOffset, size_t nameLength, Record* best) {
    const uint8_t* name = data + nameOffset;
    size_t count = ReadUInt16BE(name + 2);
    size_t storage = ReadUInt16BE(name + 4);
    if (count > (nameLength - kNameHeaderSize) / kNameRecordSize || storage > nameLength) {
        return 0;
    }
    int bestRank = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* at = name + kNameHeaderSize + i * kNameRecordSize;
        if (ReadUInt16BE(at + 6) != kFullNameId) {
            continue;
        }
        Record r = {ReadUInt16BE(at), ReadUInt16BE(at + 2), ReadUInt16BE(at + 4), 0,
                    ReadUInt16BE(at + 8)};
        size_t offset = ReadUInt16BE(at + 10);
        if (offset > nameLength - storage || r.length > nameLength - storage - offset) {
            continue;
        }
        r.offset = nameOffset + storage + offset;
        int rank = Rank(r);
        if (rank > bestRank) {
            *best = r;
            bestRank = rank;
        }
    }
    return bestRank > 0;
}

}  // namespace

int FullName(const uint8_t* data, size_t size, char* out, size_t outSize) {
    if (outSize == 0) {
        return 0;
    }
    out[0] = '\0';
    size_t nameOffset = 0;
    size_t nameLength = 0;
    Record best = {};
    if (!FindNameTable(data, size, &nameOffset, &nameLength) ||
        !BestFullName(data, nameOffset, nameLength, &best) || !Decode(data, best, out, outSize)) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

}  // namespace font
