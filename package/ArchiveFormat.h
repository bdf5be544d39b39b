// The payload archive's record layout and its limits as the setup reads them, in one place: the
// setup's extraction and zbpack read and write archives through it. Entry names follow the rule
// of platform/FileNames.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/FileNames.h"

class ReadStream;

namespace archive {

// The archive has no header, no trailer, no index, no compression and no checksum: it is a plain
// sequence of records and ends with the last record's content. A record, integers little-endian:
//   0      4      data length D
//   4      4      header length H, both length fields included
//   8      H - 8  name field: the name, a NUL, NUL bytes up to the end of the field
//   H      D      the content, unchanged
constexpr uint32_t kLengthFieldsSize = 8;
// The reader's limits: one data buffer of 15,000,000 bytes and a name buffer of 1,024 bytes.
constexpr uint32_t kMaxDataLength = 15000000;
constexpr uint32_t kMaxNameFieldSize = 1024;
// What zbpack writes: H = 264, a name field of 256 bytes, so names of at most 255 characters,
// the longest a folder entry may have.
constexpr uint32_t kNameFieldSize = static_cast<uint32_t>(names::kMaxNameLength + 1);
constexpr uint32_t kHeaderLength = kLengthFieldsSize + kNameFieldSize;
constexpr size_t kMaxNameLength = kNameFieldSize - 1;

struct Record {
    uint32_t dataLength;
    uint32_t headerLength;
    char name[kMaxNameFieldSize];  // terminated within the field
};

enum class ReadResult {
    kRecord,   // a whole record was read
    kEnd,      // the archive ended cleanly, between two records
    kDamaged,  // the record breaks a limit or the archive ends inside it
};

enum class Damage {
    kNone,
    kTruncatedLengths,   // 1 to 7 bytes left where a record should start
    kHeaderTooShort,     // H below 8
    kNameFieldTooLong,   // H - 8 over 1,024
    kDataTooLong,        // D over 15,000,000
    kTruncatedName,      // the archive ends inside the name field
    kNameNotTerminated,  // no NUL in the name field
    kTruncatedData,      // the archive ends inside the content
};

// A short English description of the damage, for tools.
const char* DescribeDamage(Damage damage);

// Reads the record that starts at the source's position: its lengths and name into record and
// its content into data (kMaxDataLength bytes) with one read. On kDamaged, damage says why and
// nothing after that point can be trusted; on kEnd and kRecord it is kNone.
ReadResult ReadRecord(ReadStream& source, Record* record, unsigned char* data, Damage* damage);

// Calls visit for every record of the size bytes of an archive held in memory, with its name (not
// necessarily terminated: nameLength bytes) and its data length. Reads the record headers only;
// stops at the first one that does not fit.
using EntryVisitor = void (*)(const char* name, size_t nameLength, uint32_t dataLength,
                              void* context);
void ForEachEntry(const unsigned char* bytes, uint64_t size, EntryVisitor visit, void* context);

// The length of the longest entry name in the size bytes of an archive held in memory, so that
// a folder into which an entry could not be written is refused before anything is written.
// Reads the record headers only; stops at the first one that does not fit.
size_t LongestEntryName(const unsigned char* bytes, uint64_t size);

// Fills header (kHeaderLength bytes) for a record as zbpack writes it. Returns 0 when the name
// is longer than kMaxNameLength or D is over kMaxDataLength.
int EncodeRecordHeader(const char* name, uint32_t dataLength, unsigned char* header);

}  // namespace archive
