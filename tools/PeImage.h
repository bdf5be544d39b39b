// The parts of a Windows PE image that zbpack reads and rewrites when it adds data resources to
// a prebuilt setup: headers, section table, data directories and the resource tree, as the reader
// (tools/PeRead.h) gives them and the writer (tools/PeWrite.h) takes them. Portable: the image is
// a block of bytes, the output a sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pe {

constexpr unsigned kDirectoryResource = 2;
constexpr unsigned kDirectorySecurity = 4;
constexpr unsigned kDirectoryBaseReloc = 5;

// The sizes of the format that reader and writer share. A directory table is 16 bytes and 8 per
// entry; a data entry 16 bytes.
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kDirectoryTableSize = 16;
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kSubdirectoryFlag = 0x80000000u;

struct Section {
    std::string name;  // up to 8 characters
    uint32_t virtualSize;
    uint32_t virtualAddress;
    uint32_t rawSize;
    uint32_t rawPointer;
    uint32_t characteristics;
};

struct DataDirectory {
    uint32_t rva;
    uint32_t size;
};

struct Image {
    bool is64;
    uint32_t optionalHeaderOffset;  // file offset of the optional header
    uint32_t sectionTableOffset;
    uint32_t sectionAlignment;
    uint32_t fileAlignment;
    uint32_t sizeOfHeaders;
    uint32_t sizeOfImage;
    uint32_t checkSum;
    std::vector<DataDirectory> directories;
    std::vector<Section> sections;
    uint64_t endOfSections;  // file offset after the last section's raw data

    // File offset of the optional header's CheckSum, SizeOfImage, SizeOfInitializedData, and of
    // data directory i.
    uint32_t CheckSumOffset() const { return optionalHeaderOffset + 64; }
    uint32_t SizeOfImageOffset() const { return optionalHeaderOffset + 56; }
    uint32_t InitializedDataOffset() const { return optionalHeaderOffset + 8; }
    uint32_t DirectoryOffset(unsigned i) const {
        return optionalHeaderOffset + (is64 ? 112 : 96) + 8 * i;
    }
    DataDirectory Directory(unsigned i) const {
        return i < directories.size() ? directories[i] : DataDirectory{0, 0};
    }
    // The section that holds rva, or -1.
    int SectionOf(uint32_t rva) const;
};

// A resource type or name: a number, or a text (UTF-16, kept as the image stores it).
struct ResourceKey {
    bool named;
    uint16_t id;
    std::u16string name;

    static ResourceKey Id(uint16_t id) { return ResourceKey{false, id, {}}; }
    static ResourceKey Name(const char* ascii);
    std::string Describe() const;
};

// Directory order: names before numbers, names by their UTF-16 code units, numbers ascending.
bool operator<(const ResourceKey& a, const ResourceKey& b);
bool operator==(const ResourceKey& a, const ResourceKey& b);

// Everything that receives the bytes of the image being written.
class Sink {
public:
    virtual ~Sink() = default;
    // True when all size bytes were taken.
    virtual bool Write(const void* data, size_t size) = 0;
};

// One leaf of the resource tree. Its bytes come either from memory (data) or, for the large
// ones, from produce, which must hand exactly size bytes to the sink it is given.
struct Resource {
    ResourceKey type;
    ResourceKey name;
    uint16_t language;
    uint32_t codePage;
    uint32_t size;
    const uint8_t* data;
    std::function<bool(Sink&)> produce;
};

}  // namespace pe
