// The version resource (VS_VERSIONINFO) read in place: the setup takes the version and the maker
// that zbpack stamped into it for its entry in the list of installed programs, and zbpack reads
// it back. A tree of blocks, each: wLength, wValueLength, wType (16 bits each), the key in
// UTF-16 with its NUL, padding to 4 bytes, the value, padding to 4 bytes, the children. wLength
// covers the block and its children, not the padding after it; a text value's wValueLength
// counts UTF-16 units, a binary one's bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace version {

// The resource's type and name as the module's resource functions take them (RT_VERSION, 1).
constexpr const char* kResourceType = "#16";
constexpr const char* kResourceName = "#1";

// The fixed part of the root's value (VS_FIXEDFILEINFO) and where its four numbers sit.
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr uint32_t kFixedInfoSize = 52;
constexpr uint32_t kFileVersionOffset = 8;
constexpr uint32_t kProductVersionOffset = 16;

struct Block {
    uint32_t start;        // offset of wLength in the resource
    uint32_t end;          // start + wLength
    uint32_t keyAt;        // offset of the key's first UTF-16 unit
    uint32_t keyUnits;     // the key's length in UTF-16 units, without its NUL
    uint16_t type;         // 1 text, 0 binary
    uint16_t valueLength;  // as stored
    uint32_t valueAt;
    uint32_t valueSize;   // in bytes, within the block
    uint32_t childrenAt;  // the first child, when childrenAt < end
};

// Reads the block at offset `at`, which must end within limit (at most the resource's size).
// Returns 1, or 0 when the block does not fit or is malformed.
int ReadBlock(const unsigned char* data, uint32_t limit, uint32_t at, Block* block);

// True when the block's key is the ASCII text key.
bool KeyIs(const unsigned char* data, const Block& block, const char* key);

// Finds the text of a string value (in the StringFileInfo's first table that has it), such as
// "ProductVersion" or "CompanyName", and copies it to out as 8-bit text (UTF-16 units up to 0xFF
// as they are, any other as '?'). Returns 1, or 0 when the resource is damaged, has no such
// value, the value is empty or does not fit outSize (out is then empty).
int FindString(const unsigned char* data, uint32_t size, const char* key, char* out,
               size_t outSize);

}  // namespace version
