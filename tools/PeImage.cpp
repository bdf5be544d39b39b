#include "tools/PeImage.h"

#include <algorithm>
#include <cstring>

#include "platform/ByteOrder.h"

namespace pe {

namespace {

constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kInitializedData = 0x00000040;
// A directory table is 16 bytes and 8 per entry; a data entry 16 bytes.
constexpr uint32_t kDirectoryTableSize = 16;
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kSubdirectoryFlag = 0x80000000u;
// The resource compiler starts every resource's data, and the data entries, on 8 bytes.
constexpr uint32_t kDataAlignment = 8;
// Windows maps no image of 2 GB or more.
constexpr uint64_t kMaxImageSize = 0x80000000u;

bool IsPowerOfTwo(uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

uint64_t AlignUp(uint64_t value, uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

}  // namespace

int Image::SectionOf(uint32_t rva) const {
    for (size_t i = 0; i < sections.size(); ++i) {
        const Section& s = sections[i];
        uint32_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ParseImage(const uint8_t* bytes, size_t size, Image* image, std::string* error) {
    if (size < 64 || bytes[0] != 'M' || bytes[1] != 'Z') {
        *error = "not a Windows program (no MZ header)";
        return 0;
    }
    uint32_t peOffset = ReadUInt32LE(bytes + 60);
    if (peOffset > size || size - peOffset < 24 || ReadUInt32LE(bytes + peOffset) != 0x00004550) {
        *error = "not a PE image (no PE signature)";
        return 0;
    }
    const uint8_t* fileHeader = bytes + peOffset + 4;
    uint32_t sectionCount = ReadUInt16LE(fileHeader + 2);
    uint32_t optionalSize = ReadUInt16LE(fileHeader + 16);
    Image result;
    result.optionalHeaderOffset = peOffset + 24;
    result.sectionTableOffset = result.optionalHeaderOffset + optionalSize;
    if (optionalSize < 96 ||
        static_cast<uint64_t>(result.sectionTableOffset) + sectionCount * kSectionHeaderSize >
            size) {
        *error = "the PE headers are cut short";
        return 0;
    }
    const uint8_t* optional = bytes + result.optionalHeaderOffset;
    uint16_t magic = ReadUInt16LE(optional);
    if (magic != 0x10b && magic != 0x20b) {
        *error = "unknown optional header (neither PE32 nor PE32+)";
        return 0;
    }
    result.is64 = magic == 0x20b;
    uint32_t directoriesAt = result.is64 ? 112 : 96;
    if (optionalSize < directoriesAt) {
        *error = "the optional header is cut short";
        return 0;
    }
    result.sectionAlignment = ReadUInt32LE(optional + 32);
    result.fileAlignment = ReadUInt32LE(optional + 36);
    result.sizeOfImage = ReadUInt32LE(optional + 56);
    result.sizeOfHeaders = ReadUInt32LE(optional + 60);
    result.checkSum = ReadUInt32LE(optional + 64);
    uint32_t directoryCount = ReadUInt32LE(optional + directoriesAt - 4);
    if (!IsPowerOfTwo(result.sectionAlignment) || !IsPowerOfTwo(result.fileAlignment) ||
        result.fileAlignment > result.sectionAlignment) {
        *error = "section or file alignment is not a power of two";
        return 0;
    }
    // Larger file alignments are not valid, and would pad a small stub into a huge setup.
    if (result.fileAlignment > 0x10000) {
        *error = "the file alignment is over 64 KB";
        return 0;
    }
    if (directoryCount > 16 || directoriesAt + directoryCount * 8 > optionalSize) {
        *error = "the data directories do not fit the optional header";
        return 0;
    }
    if (result.sizeOfHeaders > size ||
        result.sizeOfHeaders < result.sectionTableOffset + sectionCount * kSectionHeaderSize) {
        *error = "SizeOfHeaders does not cover the section table";
        return 0;
    }
    for (uint32_t i = 0; i < directoryCount; ++i) {
        const uint8_t* entry = optional + directoriesAt + 8 * i;
        DataDirectory d{ReadUInt32LE(entry), ReadUInt32LE(entry + 4)};
        if (static_cast<uint64_t>(d.rva) + d.size > 0xFFFFFFFFu) {
            *error = "data directory " + std::to_string(i) + " wraps around the address space";
            return 0;
        }
        result.directories.push_back(d);
    }
    result.endOfSections = result.sizeOfHeaders;
    // The sections follow the headers and each other, in the file and in memory, without
    // overlap: the writer copies the bytes between them and moves the ones after the resources.
    uint64_t nextAddress = 0;
    uint64_t nextRaw = result.sizeOfHeaders;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint8_t* header = bytes + result.sectionTableOffset + i * kSectionHeaderSize;
        Section section;
        section.name.assign(reinterpret_cast<const char*>(header),
                            strnlen(reinterpret_cast<const char*>(header), 8));
        section.virtualSize = ReadUInt32LE(header + 8);
        section.virtualAddress = ReadUInt32LE(header + 12);
        section.rawSize = ReadUInt32LE(header + 16);
        section.rawPointer = ReadUInt32LE(header + 20);
        section.characteristics = ReadUInt32LE(header + 36);
        std::string named = "section " + section.name;
        uint64_t extent = std::max(section.virtualSize, section.rawSize);
        if (static_cast<uint64_t>(section.virtualAddress) + extent > 0xFFFFFFFFu) {
            *error = named + " wraps around the address space";
            return 0;
        }
        if (section.virtualAddress < nextAddress) {
            *error = named + " overlaps the one before it in memory, or comes before it";
            return 0;
        }
        nextAddress = section.virtualAddress + extent;
        if (section.rawSize != 0) {
            uint64_t end = static_cast<uint64_t>(section.rawPointer) + section.rawSize;
            if (end > size) {
                *error = named + " reaches past the end of the file";
                return 0;
            }
            if (section.rawPointer < result.sizeOfHeaders) {
                *error = named + " starts inside the headers (below SizeOfHeaders)";
                return 0;
            }
            if (section.rawPointer < nextRaw) {
                *error = named + " overlaps the one before it in the file, or comes before it";
                return 0;
            }
            nextRaw = end;
            result.endOfSections = std::max(result.endOfSections, end);
        }
        result.sections.push_back(section);
    }
    *image = std::move(result);
    return 1;
}

// ---- resource keys ----

ResourceKey ResourceKey::Name(const char* ascii) {
    ResourceKey key{true, 0, {}};
    for (const char* c = ascii; *c != '\0'; ++c) {
        key.name.push_back(static_cast<char16_t>(static_cast<unsigned char>(*c)));
    }
    return key;
}

std::string ResourceKey::Describe() const {
    if (!named) {
        return std::to_string(id);
    }
    std::string text = "\"";
    for (char16_t c : name) {
        text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return text + "\"";
}

bool operator<(const ResourceKey& a, const ResourceKey& b) {
    if (a.named != b.named) {
        return a.named;
    }
    return a.named ? a.name < b.name : a.id < b.id;
}

bool operator==(const ResourceKey& a, const ResourceKey& b) {
    return a.named == b.named && (a.named ? a.name == b.name : a.id == b.id);
}

// ---- reading the resource tree ----

namespace {

class TreeReader {
public:
    TreeReader(const uint8_t* bytes, size_t size, const Image& image, std::string* error)
        : bytes_(bytes), size_(size), image_(image), error_(error) {}

    int Read(std::vector<Resource>* resources) {
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
    int Fail(const std::string& why) {
        *error_ = why;
        return 0;
    }

    bool InDirectory(uint32_t offset, uint32_t length) const {
        return offset <= limit_ && limit_ - offset >= length;
    }

    int Spend(uint64_t characters) {
        if (characters > nameBudget_) {
            return Fail(
                "the resource names, repeated per entry, take more room than the file "
                "holds");
        }
        nameBudget_ -= characters;
        return 1;
    }

    // Takes the bytes of a table or a data entry for this one use: the directory is a tree, so
    // no two of them share a byte. Returns 0 when one was already taken.
    int Claim(uint32_t offset, uint32_t length) {
        for (uint32_t i = offset; i < offset + length; ++i) {
            if (used_[i]) {
                return Fail(
                    "the resource directory is not a tree (a table or data entry is "
                    "reached twice)");
            }
            used_[i] = true;
        }
        return 1;
    }

    int ReadKey(uint32_t field, ResourceKey* key) {
        if ((field & kSubdirectoryFlag) == 0) {
            if (field > 0xFFFF) {
                return Fail("a resource id over 65535");
            }
            *key = ResourceKey::Id(static_cast<uint16_t>(field));
            return 1;
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
            return 0;
        }
        *key = ResourceKey{true, 0, {}};
        for (uint32_t i = 0; i < length; ++i) {
            key->name.push_back(
                static_cast<char16_t>(ReadUInt16LE(bytes_ + base_ + offset + 2 + 2 * i)));
        }
        return 1;
    }

    int ReadTable(uint32_t offset, int level, ResourceKey* path, std::vector<Resource>* out) {
        if (!InDirectory(offset, kDirectoryTableSize)) {
            return Fail("a resource directory table lies outside the resource directory");
        }
        const uint8_t* table = bytes_ + base_ + offset;
        uint32_t count = static_cast<uint32_t>(ReadUInt16LE(table + 12)) + ReadUInt16LE(table + 14);
        if (!InDirectory(offset + kDirectoryTableSize, count * kDirectoryEntrySize)) {
            return Fail("a resource directory table lies outside the resource directory");
        }
        if (!Claim(offset, kDirectoryTableSize + count * kDirectoryEntrySize)) {
            return 0;
        }
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* entry = table + kDirectoryTableSize + i * kDirectoryEntrySize;
            ResourceKey key;
            if (!ReadKey(ReadUInt32LE(entry), &key)) {
                return 0;
            }
            uint32_t target = ReadUInt32LE(entry + 4);
            bool subdirectory = (target & kSubdirectoryFlag) != 0;
            if (subdirectory != (level < 2)) {
                return Fail("the resource tree is not three levels deep (type, name, language)");
            }
            if (subdirectory) {
                path[level] = key;
                if (!ReadTable(target & ~kSubdirectoryFlag, level + 1, path, out)) {
                    return 0;
                }
                continue;
            }
            if (key.named) {
                return Fail("a resource language given as a name");
            }
            if (!Spend(path[0].name.size() + path[1].name.size())) {
                return 0;
            }
            if (!ReadLeaf(target, path, key.id, out)) {
                return 0;
            }
        }
        return 1;
    }

    int ReadLeaf(uint32_t offset, const ResourceKey* path, uint16_t language,
                 std::vector<Resource>* out) {
        if (!InDirectory(offset, kDataEntrySize)) {
            return Fail("a resource data entry lies outside the resource directory");
        }
        if (!Claim(offset, kDataEntrySize)) {
            return 0;
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
        return 1;
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

int ReadResources(const uint8_t* bytes, size_t size, const Image& image,
                  std::vector<Resource>* resources, std::string* error) {
    resources->clear();
    if (image.Directory(kDirectoryResource).rva == 0) {
        return 1;
    }
    return TreeReader(bytes, size, image, error).Read(resources);
}

// ---- checks ----

namespace {

// The section of the resources and the one of the base relocations (or -1).
struct Placement {
    int resources;
    int relocations;
};

Placement Locate(const Image& image) {
    Placement placement{image.SectionOf(image.Directory(kDirectoryResource).rva), -1};
    DataDirectory relocations = image.Directory(kDirectoryBaseReloc);
    if (relocations.rva != 0 && placement.resources >= 0) {
        int index = image.SectionOf(relocations.rva);
        // Relocations before the resources stay where they are.
        placement.relocations = index > placement.resources ? index : -1;
    }
    return placement;
}

}  // namespace

int CheckRewritable(const Image& image, uint64_t fileSize, std::string* error) {
    DataDirectory security = image.Directory(kDirectorySecurity);
    if (security.rva != 0 || security.size != 0) {
        *error = "it is signed (it carries a certificate table); sign the setup after packing";
        return 0;
    }
    DataDirectory resources = image.Directory(kDirectoryResource);
    Placement placement = Locate(image);
    if (resources.rva == 0 || placement.resources < 0) {
        *error = "it has no resource section";
        return 0;
    }
    const Section& rsrc = image.sections[placement.resources];
    if (resources.rva != rsrc.virtualAddress || rsrc.rawSize == 0) {
        *error = "its resource directory does not open its section";
        return 0;
    }
    // Only the base relocations may follow the resources: nothing refers to their place but
    // their data directory, so they can move up.
    for (size_t i = placement.resources + 1; i < image.sections.size(); ++i) {
        const Section& after = image.sections[i];
        bool relocations = static_cast<int>(i) == placement.relocations;
        bool last = i + 1 == image.sections.size();
        if (relocations && !last) {
            continue;  // the section after it is the one to name
        }
        if (!relocations || after.virtualAddress <= rsrc.virtualAddress ||
            (after.rawSize != 0 && after.rawPointer < rsrc.rawPointer)) {
            *error = "section " + after.name + " follows the resource section";
            return 0;
        }
    }
    for (size_t i = 0; i < static_cast<size_t>(placement.resources); ++i) {
        const Section& before = image.sections[i];
        if (before.virtualAddress >= rsrc.virtualAddress ||
            (before.rawSize != 0 && before.rawPointer >= rsrc.rawPointer)) {
            *error = "the sections are not in address order";
            return 0;
        }
    }
    for (unsigned i = 0; i < image.directories.size(); ++i) {
        DataDirectory d = image.directories[i];
        bool moves = i == kDirectoryBaseReloc && placement.relocations >= 0;
        if (i == kDirectoryResource || moves || d.rva == 0) {
            continue;
        }
        if (static_cast<uint64_t>(d.rva) + d.size > rsrc.virtualAddress) {
            *error = "data directory " + std::to_string(i) + " lies in or after the resources";
            return 0;
        }
    }
    if (placement.relocations >= 0) {
        const Section& reloc = image.sections[placement.relocations];
        DataDirectory d = image.Directory(kDirectoryBaseReloc);
        if (static_cast<uint64_t>(d.rva) + d.size > reloc.virtualAddress + reloc.virtualSize) {
            *error = "the base relocations reach past their section";
            return 0;
        }
    }
    if (image.endOfSections != fileSize) {
        *error = "it carries data after its last section";
        return 0;
    }
    return 1;
}

// ---- writing ----

void CheckSum::Add(const uint8_t* data, size_t size) {
    length_ += size;
    size_t i = 0;
    if (odd_ && size > 0) {
        sum_ += static_cast<uint64_t>(data[0]) << 8;
        i = 1;
        odd_ = false;
    }
    for (; i + 1 < size; i += 2) {
        sum_ += ReadUInt16LE(data + i);
    }
    if (i < size) {
        sum_ += data[i];
        odd_ = true;
    }
}

uint32_t CheckSum::Finish() const {
    // Adding with end-around carry gives the sum modulo 0xFFFF, written 1 to 0xFFFF unless every
    // word was zero.
    uint64_t folded = sum_ == 0 ? 0 : (sum_ - 1) % 0xFFFF + 1;
    return static_cast<uint32_t>(folded + length_);
}

namespace {

// The resources as the tree stores them: type, then name, then language.
struct NameNode {
    ResourceKey name;
    std::vector<size_t> languages;  // indexes into the sorted resources
};
struct TypeNode {
    ResourceKey type;
    std::vector<NameNode> names;
};

// Where everything of the new resource section goes, as offsets from its start.
struct Layout {
    std::vector<uint8_t> directory;     // tables, strings and data entries
    std::vector<uint32_t> dataOffsets;  // per resource
    uint32_t size;                      // the section's data, its end aligned to 8
};

class Checked {
public:
    explicit Checked(Sink& out) : out_(out) {}
    int Write(const void* data, size_t size) {
        if (!out_.Write(data, size)) {
            return 0;
        }
        sum.Add(static_cast<const uint8_t*>(data), size);
        written += size;
        return 1;
    }
    int Zeros(uint64_t count) {
        static const uint8_t kZeros[4096] = {};
        while (count > 0) {
            size_t n = static_cast<size_t>(std::min<uint64_t>(count, sizeof kZeros));
            if (!Write(kZeros, n)) {
                return 0;
            }
            count -= n;
        }
        return 1;
    }
    CheckSum sum;
    uint64_t written = 0;

private:
    Sink& out_;
};

// A sink for a resource's producer that counts and checksums what it hands on.
class ProducerSink : public Sink {
public:
    explicit ProducerSink(Checked& out) : out_(out) {}
    int Write(const void* data, size_t size) override {
        taken += size;
        return out_.Write(data, size);
    }
    uint64_t taken = 0;

private:
    Checked& out_;
};

// The resource compiler's order: every directory table right after its parent's entries, depth
// first; then the name strings in the order the entries meet them; then the data entries; then
// the data, each on 8 bytes.
int BuildLayout(const std::vector<Resource>& resources, const std::vector<TypeNode>& types,
                uint32_t sectionRva, Layout* layout, std::string* error) {
    uint64_t tables = kDirectoryTableSize + types.size() * kDirectoryEntrySize;
    for (const TypeNode& type : types) {
        tables += kDirectoryTableSize + type.names.size() * kDirectoryEntrySize;
        for (const NameNode& name : type.names) {
            tables += kDirectoryTableSize + name.languages.size() * kDirectoryEntrySize;
        }
    }
    uint64_t strings = 0;
    for (const TypeNode& type : types) {
        strings += type.type.named ? 2 + 2 * type.type.name.size() : 0;
        for (const NameNode& name : type.names) {
            strings += name.name.named ? 2 + 2 * name.name.name.size() : 0;
        }
    }
    uint64_t entriesAt = AlignUp(tables + strings, kDataAlignment);
    uint64_t dataAt = entriesAt + resources.size() * kDataEntrySize;
    if (dataAt > 0x7FFFFFFF) {
        *error = "the resource directory is too large";
        return 0;
    }
    layout->directory.assign(static_cast<size_t>(dataAt), 0);
    layout->dataOffsets.assign(resources.size(), 0);
    uint8_t* d = layout->directory.data();

    uint32_t nextTable = 0;
    uint32_t nextString = static_cast<uint32_t>(tables);
    uint32_t nextEntry = static_cast<uint32_t>(entriesAt);
    uint64_t nextData = dataAt;
    auto table = [&](uint32_t named, uint32_t ids) {
        uint32_t at = nextTable;
        WriteUInt16LE(d + at + 12, static_cast<uint16_t>(named));
        WriteUInt16LE(d + at + 14, static_cast<uint16_t>(ids));
        nextTable += kDirectoryTableSize + (named + ids) * kDirectoryEntrySize;
        return at;
    };
    auto key = [&](const ResourceKey& k) -> uint32_t {
        if (!k.named) {
            return k.id;
        }
        uint32_t at = nextString;
        WriteUInt16LE(d + at, static_cast<uint16_t>(k.name.size()));
        for (size_t i = 0; i < k.name.size(); ++i) {
            WriteUInt16LE(d + at + 2 + 2 * i, static_cast<uint16_t>(k.name[i]));
        }
        nextString += static_cast<uint32_t>(2 + 2 * k.name.size());
        return at | kSubdirectoryFlag;
    };
    auto countNamed = [](auto begin, auto end, auto getKey) {
        uint32_t named = 0;
        for (auto it = begin; it != end; ++it) {
            named += getKey(*it).named ? 1 : 0;
        }
        return named;
    };

    uint32_t typeNamed = countNamed(types.begin(), types.end(),
                                    [](const TypeNode& t) -> const ResourceKey& { return t.type; });
    uint32_t root = table(typeNamed, static_cast<uint32_t>(types.size()) - typeNamed);
    for (size_t t = 0; t < types.size(); ++t) {
        const TypeNode& type = types[t];
        uint32_t nameNamed =
            countNamed(type.names.begin(), type.names.end(),
                       [](const NameNode& n) -> const ResourceKey& { return n.name; });
        uint32_t typeTable = table(nameNamed, static_cast<uint32_t>(type.names.size()) - nameNamed);
        uint8_t* rootEntry = d + root + kDirectoryTableSize + t * kDirectoryEntrySize;
        WriteUInt32LE(rootEntry, key(type.type));
        WriteUInt32LE(rootEntry + 4, typeTable | kSubdirectoryFlag);
        for (size_t n = 0; n < type.names.size(); ++n) {
            const NameNode& name = type.names[n];
            uint32_t nameTable = table(0, static_cast<uint32_t>(name.languages.size()));
            uint8_t* typeEntry = d + typeTable + kDirectoryTableSize + n * kDirectoryEntrySize;
            WriteUInt32LE(typeEntry, key(name.name));
            WriteUInt32LE(typeEntry + 4, nameTable | kSubdirectoryFlag);
            for (size_t l = 0; l < name.languages.size(); ++l) {
                size_t index = name.languages[l];
                const Resource& resource = resources[index];
                uint8_t* nameEntry = d + nameTable + kDirectoryTableSize + l * kDirectoryEntrySize;
                WriteUInt32LE(nameEntry, resource.language);
                WriteUInt32LE(nameEntry + 4, nextEntry);
                uint64_t rva = sectionRva + nextData;
                if (rva > 0xFFFFFFFFu) {
                    *error = "the resources do not fit a 32-bit image";
                    return 0;
                }
                WriteUInt32LE(d + nextEntry, static_cast<uint32_t>(rva));
                WriteUInt32LE(d + nextEntry + 4, resource.size);
                WriteUInt32LE(d + nextEntry + 8, resource.codePage);
                nextEntry += kDataEntrySize;
                layout->dataOffsets[index] = static_cast<uint32_t>(nextData);
                nextData = AlignUp(nextData + resource.size, kDataAlignment);
            }
        }
    }
    if (nextData >= kMaxImageSize) {
        *error = "the resources make an image of 2 GB or more";
        return 0;
    }
    layout->size = static_cast<uint32_t>(nextData);
    return 1;
}

}  // namespace

int WriteWithResources(const uint8_t* bytes, size_t size, const Image& image,
                       std::vector<Resource> resources, Sink& out,
                       const std::function<int(uint32_t offset, uint32_t value)>& patchCheckSum,
                       std::string* error) {
    std::stable_sort(resources.begin(), resources.end(), [](const Resource& a, const Resource& b) {
        if (!(a.type == b.type)) {
            return a.type < b.type;
        }
        if (!(a.name == b.name)) {
            return a.name < b.name;
        }
        return a.language < b.language;
    });
    std::vector<TypeNode> types;
    for (size_t i = 0; i < resources.size(); ++i) {
        const Resource& r = resources[i];
        if (types.empty() || !(types.back().type == r.type)) {
            types.push_back({r.type, {}});
        }
        std::vector<NameNode>& names = types.back().names;
        if (names.empty() || !(names.back().name == r.name)) {
            names.push_back({r.name, {}});
        }
        if (!names.back().languages.empty() &&
            resources[names.back().languages.back()].language == r.language) {
            *error = "two resources of type " + r.type.Describe() + " named " + r.name.Describe() +
                     " in language " + std::to_string(r.language);
            return 0;
        }
        names.back().languages.push_back(i);
    }

    Placement placement = Locate(image);
    const Section& oldRsrc = image.sections[placement.resources];
    Layout layout;
    if (!BuildLayout(resources, types, oldRsrc.virtualAddress, &layout, error)) {
        return 0;
    }

    // The new section table and headers.
    std::vector<Section> sections = image.sections;
    Section& rsrc = sections[placement.resources];
    rsrc.virtualSize = layout.size;
    rsrc.rawSize = static_cast<uint32_t>(AlignUp(layout.size, image.fileAlignment));
    uint64_t imageEnd = AlignUp(static_cast<uint64_t>(rsrc.virtualAddress) + rsrc.virtualSize,
                                image.sectionAlignment);
    uint64_t fileEnd = static_cast<uint64_t>(rsrc.rawPointer) + rsrc.rawSize;
    uint32_t relocationShift = 0;
    if (placement.relocations >= 0) {
        Section& reloc = sections[placement.relocations];
        relocationShift = static_cast<uint32_t>(imageEnd - reloc.virtualAddress);
        reloc.virtualAddress = static_cast<uint32_t>(imageEnd);
        imageEnd = AlignUp(imageEnd + reloc.virtualSize, image.sectionAlignment);
        if (reloc.rawSize != 0) {
            reloc.rawPointer = static_cast<uint32_t>(fileEnd);
            fileEnd += reloc.rawSize;
        }
    }
    if (imageEnd >= kMaxImageSize || fileEnd >= kMaxImageSize) {
        *error = "the setup would be 2 GB or more";
        return 0;
    }

    std::vector<uint8_t> headers(bytes, bytes + image.sizeOfHeaders);
    for (size_t i = 0; i < sections.size(); ++i) {
        uint8_t* h = headers.data() + image.sectionTableOffset + i * kSectionHeaderSize;
        WriteUInt32LE(h + 8, sections[i].virtualSize);
        WriteUInt32LE(h + 12, sections[i].virtualAddress);
        WriteUInt32LE(h + 16, sections[i].rawSize);
        WriteUInt32LE(h + 20, sections[i].rawPointer);
    }
    WriteUInt32LE(headers.data() + image.SizeOfImageOffset(), static_cast<uint32_t>(imageEnd));
    if (oldRsrc.characteristics & kInitializedData) {
        uint8_t* initialized = headers.data() + image.InitializedDataOffset();
        WriteUInt32LE(initialized, ReadUInt32LE(initialized) - oldRsrc.rawSize + rsrc.rawSize);
    }
    WriteUInt32LE(headers.data() + image.DirectoryOffset(kDirectoryResource) + 4, layout.size);
    if (placement.relocations >= 0) {
        uint8_t* directory = headers.data() + image.DirectoryOffset(kDirectoryBaseReloc);
        WriteUInt32LE(directory, ReadUInt32LE(directory) + relocationShift);
    }
    WriteUInt32LE(headers.data() + image.CheckSumOffset(), 0);

    // Out in file order: headers, the sections before the resources as they are, the new
    // resource section, the relocations.
    Checked checked(out);
    if (!checked.Write(headers.data(), headers.size()) ||
        !checked.Write(bytes + headers.size(), oldRsrc.rawPointer - headers.size()) ||
        !checked.Write(layout.directory.data(), layout.directory.size())) {
        *error = "cannot write the setup";
        return 0;
    }
    for (size_t i = 0; i < resources.size(); ++i) {
        const Resource& resource = resources[i];
        if (!checked.Zeros(rsrc.rawPointer + layout.dataOffsets[i] - checked.written)) {
            *error = "cannot write the setup";
            return 0;
        }
        if (resource.produce) {
            ProducerSink sink(checked);
            if (!resource.produce(sink)) {
                *error = "cannot write resource " + resource.name.Describe();
                return 0;
            }
            if (sink.taken != resource.size) {
                *error = "resource " + resource.name.Describe() + " changed size while written";
                return 0;
            }
        } else if (!checked.Write(resource.data, resource.size)) {
            *error = "cannot write the setup";
            return 0;
        }
    }
    if (!checked.Zeros(static_cast<uint64_t>(rsrc.rawPointer) + rsrc.rawSize - checked.written)) {
        *error = "cannot write the setup";
        return 0;
    }
    if (placement.relocations >= 0) {
        const Section& oldReloc = image.sections[placement.relocations];
        if (!checked.Write(bytes + oldReloc.rawPointer, oldReloc.rawSize)) {
            *error = "cannot write the setup";
            return 0;
        }
    }
    (void)size;
    if (image.checkSum != 0 && !patchCheckSum(image.CheckSumOffset(), checked.sum.Finish())) {
        *error = "cannot write the checksum";
        return 0;
    }
    return 1;
}

}  // namespace pe
