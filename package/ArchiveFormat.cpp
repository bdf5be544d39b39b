#include "package/ArchiveFormat.h"

#include <cstring>

#include "platform/ByteOrder.h"
#include "platform/FileSystem.h"

namespace archive {

namespace {

ReadResult Damaged(Damage why, Damage* damage) {
    *damage = why;
    return ReadResult::kDamaged;
}

}  // namespace

const char* DescribeDamage(Damage damage) {
    switch (damage) {
        case Damage::kNone:
            return "no damage";
        case Damage::kTruncatedLengths:
            return "the archive ends inside the length fields of a record";
        case Damage::kHeaderTooShort:
            return "header length below 8";
        case Damage::kNameFieldTooLong:
            return "name field longer than 1024 bytes";
        case Damage::kDataTooLong:
            return "data length over 15000000 bytes";
        case Damage::kTruncatedName:
            return "the archive ends inside the name field of a record";
        case Damage::kNameNotTerminated:
            return "name field without a NUL";
        case Damage::kTruncatedData:
            return "the archive ends inside the content of a record";
    }
    return "unknown damage";
}

ReadResult ReadRecord(ReadStream& source, Record* record, unsigned char* data, Damage* damage) {
    *damage = Damage::kNone;
    unsigned char lengths[kLengthFieldsSize];
    size_t got = source.Read(lengths, sizeof lengths);
    if (got == 0) {
        return ReadResult::kEnd;
    }
    // A few bytes after the last record are not a clean end: something was cut or appended.
    if (got < sizeof lengths) {
        return Damaged(Damage::kTruncatedLengths, damage);
    }
    record->dataLength = ReadUInt32LE(lengths);
    record->headerLength = ReadUInt32LE(lengths + 4);
    if (record->headerLength < kLengthFieldsSize) {
        return Damaged(Damage::kHeaderTooShort, damage);
    }
    uint32_t nameFieldSize = record->headerLength - kLengthFieldsSize;
    if (nameFieldSize > kMaxNameFieldSize) {
        return Damaged(Damage::kNameFieldTooLong, damage);
    }
    if (record->dataLength > kMaxDataLength) {
        return Damaged(Damage::kDataTooLong, damage);
    }
    if (source.Read(record->name, nameFieldSize) != nameFieldSize) {
        return Damaged(Damage::kTruncatedName, damage);
    }
    if (memchr(record->name, '\0', nameFieldSize) == nullptr) {
        return Damaged(Damage::kNameNotTerminated, damage);
    }
    if (source.Read(data, record->dataLength) != record->dataLength) {
        return Damaged(Damage::kTruncatedData, damage);
    }
    return ReadResult::kRecord;
}

size_t LongestEntryName(const unsigned char* bytes, uint64_t size) {
    size_t longest = 0;
    uint64_t offset = 0;
    while (offset + kLengthFieldsSize <= size) {
        uint32_t dataLength = ReadUInt32LE(bytes + offset);
        uint32_t headerLength = ReadUInt32LE(bytes + offset + 4);
        if (headerLength < kLengthFieldsSize || offset + headerLength > size) {
            break;
        }
        const char* name = reinterpret_cast<const char*>(bytes + offset + kLengthFieldsSize);
        size_t length = strnlen(name, headerLength - kLengthFieldsSize);
        if (length > longest) {
            longest = length;
        }
        offset += static_cast<uint64_t>(headerLength) + dataLength;
    }
    return longest;
}

int EncodeRecordHeader(const char* name, uint32_t dataLength, unsigned char* header) {
    size_t length = strlen(name);
    if (length > kMaxNameLength || dataLength > kMaxDataLength) {
        return 0;
    }
    WriteUInt32LE(header, dataLength);
    WriteUInt32LE(header + 4, kHeaderLength);
    memset(header + kLengthFieldsSize, 0, kNameFieldSize);
    memcpy(header + kLengthFieldsSize, name, length);
    return 1;
}

}  // namespace archive
