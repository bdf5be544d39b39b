// The parts of a Windows PE image that zbpack reads and rewrites when it adds data resources to
// a prebuilt setup: headers, section table, data directories and the resource tree. Portable: the
// image is a block of bytes, the output a sink.
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

// Reads the headers of the image in bytes[0, size). Returns 1, or 0 with the reason in error.
int ParseImage(const uint8_t* bytes, size_t size, Image* image, std::string* error);

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
    // Returns 1 when all size bytes were taken.
    virtual int Write(const void* data, size_t size) = 0;
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
    std::function<int(Sink&)> produce;
};

// Reads the resource tree of image (three levels: type, name, language). The resources' data
// point into bytes. Returns 1, or 0 with the reason in error.
int ReadResources(const uint8_t* bytes, size_t size, const Image& image,
                  std::vector<Resource>* resources, std::string* error);

// Checks that the image can take a new resource section: not signed, a resource section that
// only a base relocation section may follow, no data after the sections, no data directory but
// the resources' and the relocations' in or after that section. Returns 1, or 0 with the reason.
int CheckRewritable(const Image& image, uint64_t fileSize, std::string* error);

// Writes the image in bytes with its resource section replaced by one holding resources, laid
// out as the resource compiler and linker lay them out; a base relocation section after it moves
// up; SizeOfImage, SizeOfInitializedData, the two data directories and the section table follow;
// the checksum is made right when the image has one. Every byte goes through out in file order
// once, except the checksum, which is handed to patchCheckSum at the end (its file offset and
// value) when the image has one. The image must have passed CheckRewritable. Returns 1, or 0
// with the reason in error.
int WriteWithResources(const uint8_t* bytes, size_t size, const Image& image,
                       std::vector<Resource> resources, Sink& out,
                       const std::function<int(uint32_t offset, uint32_t value)>& patchCheckSum,
                       std::string* error);

// The image checksum, computed as the bytes stream by: 16-bit little-endian words added with
// end-around carry, the checksum field taken as zero, plus the file's length.
class CheckSum {
public:
    void Add(const uint8_t* data, size_t size);
    uint32_t Finish() const;

private:
    uint64_t sum_ = 0;
    uint64_t length_ = 0;
    bool odd_ = false;  // the next byte is the high byte of a word
};

}  // namespace pe
