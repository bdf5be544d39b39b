#include "tools/PeRead.h"

#include <algorithm>
#include <cstring>

#include "platform/ByteOrder.h"

namespace pe {

// ---- the headers ----

namespace {

bool IsPowerOfTwo(uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

// What the file header says of the headers after it.
struct HeaderCounts {
    uint32_t sections;
    uint32_t optionalSize;    // bytes of the optional header
    uint32_t directoriesAt;   // offset of the data directories in the optional header
    uint32_t directoryCount;  // data directories
};

// The MZ header, the PE signature and the file header: where the optional header and the
// section table lie.
bool ReadFileHeader(const uint8_t* bytes, size_t size, Image* image, HeaderCounts* counts,
                    std::string* error) {
    if (size < 64 || bytes[0] != 'M' || bytes[1] != 'Z') {
        *error = "not a Windows program (no MZ header)";
        return false;
    }
    uint32_t peOffset = ReadUInt32LE(bytes + 60);
    if (peOffset > size || size - peOffset < 24 || ReadUInt32LE(bytes + peOffset) != 0x00004550) {
        *error = "not a PE image (no PE signature)";
        return false;
    }
    const uint8_t* fileHeader = bytes + peOffset + 4;
    counts->sections = ReadUInt16LE(fileHeader + 2);
    counts->optionalSize = ReadUInt16LE(fileHeader + 16);
    image->optionalHeaderOffset = peOffset + 24;
    image->sectionTableOffset = image->optionalHeaderOffset + counts->optionalSize;
    if (counts->optionalSize < 96 ||
        static_cast<uint64_t>(image->sectionTableOffset) + counts->sections * kSectionHeaderSize >
            size) {
        *error = "the PE headers are cut short";
        return false;
    }
    return true;
}

// The optional header's kind, alignments, sizes and checksum, each as the writer needs it.
bool ReadOptionalHeader(const uint8_t* bytes, size_t size, Image* image, HeaderCounts* counts,
                        std::string* error) {
    const uint8_t* optional = bytes + image->optionalHeaderOffset;
    uint16_t magic = ReadUInt16LE(optional);
    if (magic != 0x10b && magic != 0x20b) {
        *error = "unknown optional header (neither PE32 nor PE32+)";
        return false;
    }
    image->is64 = magic == 0x20b;
    counts->directoriesAt = image->is64 ? 112 : 96;
    if (counts->optionalSize < counts->directoriesAt) {
        *error = "the optional header is cut short";
        return false;
    }
    image->sectionAlignment = ReadUInt32LE(optional + 32);
    image->fileAlignment = ReadUInt32LE(optional + 36);
    image->sizeOfImage = ReadUInt32LE(optional + 56);
    image->sizeOfHeaders = ReadUInt32LE(optional + 60);
    image->checkSum = ReadUInt32LE(optional + 64);
    counts->directoryCount = ReadUInt32LE(optional + counts->directoriesAt - 4);
    if (!IsPowerOfTwo(image->sectionAlignment) || !IsPowerOfTwo(image->fileAlignment) ||
        image->fileAlignment > image->sectionAlignment) {
        *error = "section or file alignment is not a power of two";
        return false;
    }
    // Larger file alignments are not valid, and would pad a small stub into a huge setup.
    if (image->fileAlignment > 0x10000) {
        *error = "the file alignment is over 64 KB";
        return false;
    }
    if (counts->directoryCount > 16 ||
        counts->directoriesAt + counts->directoryCount * 8 > counts->optionalSize) {
        *error = "the data directories do not fit the optional header";
        return false;
    }
    if (image->sizeOfHeaders > size ||
        image->sizeOfHeaders < image->sectionTableOffset + counts->sections * kSectionHeaderSize) {
        *error = "SizeOfHeaders does not cover the section table";
        return false;
    }
    return true;
}

bool ReadDirectories(const uint8_t* bytes, const HeaderCounts& counts, Image* image,
                     std::string* error) {
    const uint8_t* optional = bytes + image->optionalHeaderOffset;
    for (uint32_t i = 0; i < counts.directoryCount; ++i) {
        const uint8_t* entry = optional + counts.directoriesAt + 8 * i;
        DataDirectory d{ReadUInt32LE(entry), ReadUInt32LE(entry + 4)};
        if (static_cast<uint64_t>(d.rva) + d.size > 0xFFFFFFFFu) {
            *error = "data directory " + std::to_string(i) + " wraps around the address space";
            return false;
        }
        image->directories.push_back(d);
    }
    return true;
}

Section ReadSectionHeader(const uint8_t* header) {
    Section section;
    section.name.assign(reinterpret_cast<const char*>(header),
                        strnlen(reinterpret_cast<const char*>(header), 8));
    section.virtualSize = ReadUInt32LE(header + 8);
    section.virtualAddress = ReadUInt32LE(header + 12);
    section.rawSize = ReadUInt32LE(header + 16);
    section.rawPointer = ReadUInt32LE(header + 20);
    section.characteristics = ReadUInt32LE(header + 36);
    return section;
}

// The sections follow the headers and each other, in the file and in memory, without overlap:
// the writer copies the bytes between them and moves the ones after the resources.
bool ReadSections(const uint8_t* bytes, size_t size, const HeaderCounts& counts, Image* image,
                  std::string* error) {
    image->endOfSections = image->sizeOfHeaders;
    uint64_t nextAddress = 0;
    uint64_t nextRaw = image->sizeOfHeaders;
    for (uint32_t i = 0; i < counts.sections; ++i) {
        Section section =
            ReadSectionHeader(bytes + image->sectionTableOffset + i * kSectionHeaderSize);
        std::string named = "section " + section.name;
        uint64_t extent = std::max(section.virtualSize, section.rawSize);
        if (static_cast<uint64_t>(section.virtualAddress) + extent > 0xFFFFFFFFu) {
            *error = named + " wraps around the address space";
            return false;
        }
        if (section.virtualAddress < nextAddress) {
            *error = named + " overlaps the one before it in memory, or comes before it";
            return false;
        }
        nextAddress = section.virtualAddress + extent;
        if (section.rawSize != 0) {
            uint64_t end = static_cast<uint64_t>(section.rawPointer) + section.rawSize;
            const char* why = end > size ? " reaches past the end of the file"
                              : section.rawPointer < image->sizeOfHeaders
                                  ? " starts inside the headers (below SizeOfHeaders)"
                              : section.rawPointer < nextRaw
                                  ? " overlaps the one before it in the file, or comes before it"
                                  : nullptr;
            if (why != nullptr) {
                *error = named + why;
                return false;
            }
            nextRaw = end;
            image->endOfSections = std::max(image->endOfSections, end);
        }
        image->sections.push_back(section);
    }
    return true;
}

}  // namespace

bool ParseImage(const uint8_t* bytes, size_t size, Image* image, std::string* error) {
    Image result;
    HeaderCounts counts;
    if (!ReadFileHeader(bytes, size, &result, &counts, error) ||
        !ReadOptionalHeader(bytes, size, &result, &counts, error) ||
        !ReadDirectories(bytes, counts, &result, error) ||
        !ReadSections(bytes, size, counts, &result, error)) {
        return false;
    }
    *image = std::move(result);
    return true;
}

// ---- reading the resource tree ----

namespace {

class TreeReader {
public:
    TreeReader(const uint8_t* bytes, size_t size, const Image& image, std::string* error)
        : bytes_(bytes), size_(size), image_(image), error_(error) {}

    bool Read(std::vector<Resource>* resources) {
        DataDirectory directory = image_.Directory(kDirectoryResource);
        int index = image_.SectionOf(directory.rva);
        if (index < 0) {
            return Fail("the resource directory lies in no section");
        }
        const Section& section = image_.sections[index];
        base_ = section.rawPointer + (directory.rva - section.virtualAddress);
        uint32_t inSection = section.rawSize - (directory.rva - section.virtualAddress);
        if (directory.rva - section.virtualAddress >= section.rawSize) {
            return Fail("the resource directory has no bytes in the file");
        }
        limit_ = std::min(inSection, directory.size);
        used_.assign(limit_, false);
        // Every entry reads its name and every leaf carries its type's and its own: a file of
        // this size holds no more name characters than this unless many entries share one
        // string, which would make the reading take time and memory without bound.
        nameBudget_ = size_;
        ResourceKey path[2];
        return ReadTable(0, 0, path, resources);
    }

private:
    bool Fail(const std::string& why) {
        *error_ = why;
        return false;
    }

    bool InDirectory(uint32_t offset, uint32_t length) const {
        return offset <= limit_ && limit_ - offset >= length;
    }

    bool Spend(uint64_t characters) {
        if (characters > nameBudget_) {
            return Fail(
                "the resource names, repeated per entry, take more room than the file "
                "holds");
        }
        nameBudget_ -= characters;
        return true;
    }

    // Takes the bytes of a table or a data entry for this one use: the directory is a tree, so
    // no two of them share a byte. False when one was already taken.
    bool Claim(uint32_t offset, uint32_t length) {
        for (uint32_t i = offset; i < offset + length; ++i) {
            if (used_[i]) {
                return Fail(
                    "the resource directory is not a tree (a table or data entry is "
                    "reached twice)");
            }
            used_[i] = true;
        }
        return true;
    }

    bool ReadKey(uint32_t field, ResourceKey* key) {
        if ((field & kSubdirectoryFlag) == 0) {
            if (field > 0xFFFF) {
                return Fail("a resource id over 65535");
            }
            *key = ResourceKey::Id(static_cast<uint16_t>(field));
            return true;
        }
        uint32_t offset = field & ~kSubdirectoryFlag;
        if (!InDirectory(offset, 2)) {
            return Fail("a resource name lies outside the resource directory");
        }
        uint32_t length = ReadUInt16LE(bytes_ + base_ + offset);
        if (!InDirectory(offset + 2, length * 2)) {
            return Fail("a resource name lies outside the resource directory");
        }
        if (!Spend(length)) {
            return false;
        }
        *key = ResourceKey{true, 0, {}};
        for (uint32_t i = 0; i < length; ++i) {
            key->name.push_back(
                static_cast<char16_t>(ReadUInt16LE(bytes_ + base_ + offset + 2 + 2 * i)));
        }
        return true;
    }

    bool ReadTable(uint32_t offset, int level, ResourceKey* path, std::vector<Resource>* out) {
        if (!InDirectory(offset, kDirectoryTableSize)) {
            return Fail("a resource directory table lies outside the resource directory");
        }
        const uint8_t* table = bytes_ + base_ + offset;
        uint32_t count = static_cast<uint32_t>(ReadUInt16LE(table + 12)) + ReadUInt16LE(table + 14);
        if (!InDirectory(offset + kDirectoryTableSize, count * kDirectoryEntrySize)) {
            return Fail("a resource directory table lies outside the resource directory");
        }
        if (!Claim(offset, kDirectoryTableSize + count * kDirectoryEntrySize)) {
            return false;
        }
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* entry = table + kDirectoryTableSize + i * kDirectoryEntrySize;
            ResourceKey key;
            if (!ReadKey(ReadUInt32LE(entry), &key)) {
                return false;
            }
            uint32_t target = ReadUInt32LE(entry + 4);
            bool subdirectory = (target & kSubdirectoryFlag) != 0;
            if (subdirectory != (level < 2)) {
                return Fail("the resource tree is not three levels deep (type, name, language)");
            }
            if (subdirectory) {
                path[level] = key;
                if (!ReadTable(target & ~kSubdirectoryFlag, level + 1, path, out)) {
                    return false;
                }
                continue;
            }
            if (key.named) {
                return Fail("a resource language given as a name");
            }
            if (!Spend(path[0].name.size() + path[1].name.size())) {
                return false;
            }
            if (!ReadLeaf(target, path, key.id, out)) {
                return false;
            }
        }
        return true;
    }

    bool ReadLeaf(uint32_t offset, const ResourceKey* path, uint16_t language,
                  std::vector<Resource>* out) {
        if (!InDirectory(offset, kDataEntrySize)) {
            return Fail("a resource data entry lies outside the resource directory");
        }
        if (!Claim(offset, kDataEntrySize)) {
            return false;
        }
        const uint8_t* entry = bytes_ + base_ + offset;
        Resource resource;
        resource.type = path[0];
        resource.name = path[1];
        resource.language = language;
        uint32_t rva = ReadUInt32LE(entry);
        resource.size = ReadUInt32LE(entry + 4);
        resource.codePage = ReadUInt32LE(entry + 8);
        resource.data = nullptr;
        int index = image_.SectionOf(rva);
        if (index < 0 && resource.size == 0) {
            index = image_.SectionOf(rva - 1);  // empty data may stand at its section's end
        }
        if (index < 0) {
            return Fail("the data of resource " + path[1].Describe() + " lies in no section");
        }
        const Section& section = image_.sections[index];
        uint32_t within = rva - section.virtualAddress;
        if (within > section.rawSize || section.rawSize - within < resource.size) {
            return Fail("the data of resource " + path[1].Describe() + " is not in the file");
        }
        resource.data = bytes_ + section.rawPointer + within;
        if (section.rawPointer + within > size_) {
            return Fail("the data of resource " + path[1].Describe() + " is not in the file");
        }
        out->push_back(std::move(resource));
        return true;
    }

    const uint8_t* bytes_;
    size_t size_;
    const Image& image_;
    std::string* error_;
    uint32_t base_ = 0;       // file offset of the resource directory
    uint32_t limit_ = 0;      // its length in the file
    std::vector<bool> used_;  // per byte of the directory: part of a table or data entry read
    uint64_t nameBudget_ = 0;
};

}  // namespace

bool ReadResources(const uint8_t* bytes, size_t size, const Image& image,
                   std::vector<Resource>* resources, std::string* error) {
    resources->clear();
    if (image.Directory(kDirectoryResource).rva == 0) {
        return true;
    }
    return TreeReader(bytes, size, image, error).Read(resources);
}

}  // namespace pe
