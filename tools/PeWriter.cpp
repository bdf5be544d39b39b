#include "tools/PeWrite.h"

#include <algorithm>

#include "platform/ByteOrder.h"

namespace pe {

namespace {

constexpr uint32_t kInitializedData = 0x00000040;
// The resource compiler starts every resource's data, and the data entries, on 8 bytes.
constexpr uint32_t kDataAlignment = 8;
// Windows maps no image of 2 GB or more.
constexpr uint64_t kMaxImageSize = 0x80000000u;

uint64_t AlignUp(uint64_t value, uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

}  // namespace

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

// The resources' own section: the image is not signed, and its resource directory opens a
// section of its own.
bool CheckResourceSection(const Image& image, const Placement& placement, std::string* error) {
    DataDirectory security = image.Directory(kDirectorySecurity);
    if (security.rva != 0 || security.size != 0) {
        *error = "it is signed (it carries a certificate table); sign the setup after packing";
        return false;
    }
    DataDirectory resources = image.Directory(kDirectoryResource);
    if (resources.rva == 0 || placement.resources < 0) {
        *error = "it has no resource section";
        return false;
    }
    const Section& rsrc = image.sections[placement.resources];
    if (resources.rva != rsrc.virtualAddress || rsrc.rawSize == 0) {
        *error = "its resource directory does not open its section";
        return false;
    }
    return true;
}

// Only the base relocations may follow the resources: nothing refers to their place but their
// data directory, so they can move up. The sections before stand in address order.
bool CheckSectionOrder(const Image& image, const Placement& placement, std::string* error) {
    const Section& rsrc = image.sections[placement.resources];
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
            return false;
        }
    }
    for (size_t i = 0; i < static_cast<size_t>(placement.resources); ++i) {
        const Section& before = image.sections[i];
        if (before.virtualAddress >= rsrc.virtualAddress ||
            (before.rawSize != 0 && before.rawPointer >= rsrc.rawPointer)) {
            *error = "the sections are not in address order";
            return false;
        }
    }
    return true;
}

// No data directory but the two that move lies in or after the resources, and the relocations
// stay inside their section.
bool CheckDirectories(const Image& image, const Placement& placement, std::string* error) {
    const Section& rsrc = image.sections[placement.resources];
    for (unsigned i = 0; i < image.directories.size(); ++i) {
        DataDirectory d = image.directories[i];
        bool moves = i == kDirectoryBaseReloc && placement.relocations >= 0;
        if (i == kDirectoryResource || moves || d.rva == 0) {
            continue;
        }
        if (static_cast<uint64_t>(d.rva) + d.size > rsrc.virtualAddress) {
            *error = "data directory " + std::to_string(i) + " lies in or after the resources";
            return false;
        }
    }
    if (placement.relocations >= 0) {
        const Section& reloc = image.sections[placement.relocations];
        DataDirectory d = image.Directory(kDirectoryBaseReloc);
        if (static_cast<uint64_t>(d.rva) + d.size > reloc.virtualAddress + reloc.virtualSize) {
            *error = "the base relocations reach past their section";
            return false;
        }
    }
    return true;
}

}  // namespace

bool CheckRewritable(const Image& image, uint64_t fileSize, std::string* error) {
    Placement placement = Locate(image);
    if (!CheckResourceSection(image, placement, error) ||
        !CheckSectionOrder(image, placement, error) || !CheckDirectories(image, placement, error)) {
        return false;
    }
    if (image.endOfSections != fileSize) {
        *error = "it carries data after its last section";
        return false;
    }
    return true;
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

// Sorts the resources into directory order and groups them into the tree. False when two share
// a type, a name and a language.
bool BuildTree(std::vector<Resource>* resources, std::vector<TypeNode>* types, std::string* error) {
    std::stable_sort(resources->begin(), resources->end(),
                     [](const Resource& a, const Resource& b) {
                         if (!(a.type == b.type)) {
                             return a.type < b.type;
                         }
                         if (!(a.name == b.name)) {
                             return a.name < b.name;
                         }
                         return a.language < b.language;
                     });
    for (size_t i = 0; i < resources->size(); ++i) {
        const Resource& r = (*resources)[i];
        if (types->empty() || !(types->back().type == r.type)) {
            types->push_back({r.type, {}});
        }
        std::vector<NameNode>& names = types->back().names;
        if (names.empty() || !(names.back().name == r.name)) {
            names.push_back({r.name, {}});
        }
        if (!names.back().languages.empty() &&
            (*resources)[names.back().languages.back()].language == r.language) {
            *error = "two resources of type " + r.type.Describe() + " named " + r.name.Describe() +
                     " in language " + std::to_string(r.language);
            return false;
        }
        names.back().languages.push_back(i);
    }
    return true;
}

// The bytes of the directory tables, and of the name strings after them.
struct DirectorySize {
    uint64_t tables = 0;
    uint64_t strings = 0;
};

uint64_t StringSize(const ResourceKey& key) {
    return key.named ? 2 + 2 * key.name.size() : 0;
}

DirectorySize MeasureDirectory(const std::vector<TypeNode>& types) {
    DirectorySize size;
    size.tables = kDirectoryTableSize + types.size() * kDirectoryEntrySize;
    for (const TypeNode& type : types) {
        size.tables += kDirectoryTableSize + type.names.size() * kDirectoryEntrySize;
        for (const NameNode& name : type.names) {
            size.tables += kDirectoryTableSize + name.languages.size() * kDirectoryEntrySize;
        }
    }
    for (const TypeNode& type : types) {
        size.strings += StringSize(type.type);
        for (const NameNode& name : type.names) {
            size.strings += StringSize(name.name);
        }
    }
    return size;
}

// Fills the directory of a layout: each table, string and data entry at the next place of its
// kind, and the data offsets.
class DirectoryWriter {
public:
    DirectoryWriter(const std::vector<Resource>& resources, uint32_t sectionRva, Layout* layout,
                    uint32_t stringsAt, uint32_t entriesAt, uint64_t dataAt)
        : resources_(resources),
          sectionRva_(sectionRva),
          layout_(layout),
          d_(layout->directory.data()),
          nextString_(stringsAt),
          nextEntry_(entriesAt),
          nextData_(dataAt) {}

    bool Write(const std::vector<TypeNode>& types, std::string* error) {
        uint32_t typeNamed = CountNamed(types, [](const TypeNode& t) { return t.type.named; });
        uint32_t root = Table(typeNamed, static_cast<uint32_t>(types.size()) - typeNamed);
        for (size_t t = 0; t < types.size(); ++t) {
            const TypeNode& type = types[t];
            uint32_t nameNamed =
                CountNamed(type.names, [](const NameNode& n) { return n.name.named; });
            uint32_t typeTable =
                Table(nameNamed, static_cast<uint32_t>(type.names.size()) - nameNamed);
            Entry(root, t, Key(type.type), typeTable | kSubdirectoryFlag);
            for (size_t n = 0; n < type.names.size(); ++n) {
                const NameNode& name = type.names[n];
                uint32_t nameTable = Table(0, static_cast<uint32_t>(name.languages.size()));
                Entry(typeTable, n, Key(name.name), nameTable | kSubdirectoryFlag);
                if (!WriteLanguages(name, nameTable, error)) {
                    return false;
                }
            }
        }
        return true;
    }

    uint64_t dataEnd() const { return nextData_; }

private:
    template <typename Node, typename IsNamed>
    static uint32_t CountNamed(const std::vector<Node>& nodes, IsNamed isNamed) {
        return static_cast<uint32_t>(std::count_if(nodes.begin(), nodes.end(), isNamed));
    }

    uint32_t Table(uint32_t named, uint32_t ids) {
        uint32_t at = nextTable_;
        WriteUInt16LE(d_ + at + 12, static_cast<uint16_t>(named));
        WriteUInt16LE(d_ + at + 14, static_cast<uint16_t>(ids));
        nextTable_ += kDirectoryTableSize + (named + ids) * kDirectoryEntrySize;
        return at;
    }

    uint32_t Key(const ResourceKey& k) {
        if (!k.named) {
            return k.id;
        }
        uint32_t at = nextString_;
        WriteUInt16LE(d_ + at, static_cast<uint16_t>(k.name.size()));
        for (size_t i = 0; i < k.name.size(); ++i) {
            WriteUInt16LE(d_ + at + 2 + 2 * i, static_cast<uint16_t>(k.name[i]));
        }
        nextString_ += static_cast<uint32_t>(2 + 2 * k.name.size());
        return at | kSubdirectoryFlag;
    }

    void Entry(uint32_t table, size_t index, uint32_t key, uint32_t target) {
        uint8_t* entry = d_ + table + kDirectoryTableSize + index * kDirectoryEntrySize;
        WriteUInt32LE(entry, key);
        WriteUInt32LE(entry + 4, target);
    }

    // The language entries of a name, each with its data entry and the place of its data.
    bool WriteLanguages(const NameNode& name, uint32_t nameTable, std::string* error) {
        for (size_t l = 0; l < name.languages.size(); ++l) {
            size_t index = name.languages[l];
            const Resource& resource = resources_[index];
            Entry(nameTable, l, resource.language, nextEntry_);
            uint64_t rva = sectionRva_ + nextData_;
            if (rva > 0xFFFFFFFFu) {
                *error = "the resources do not fit a 32-bit image";
                return false;
            }
            WriteUInt32LE(d_ + nextEntry_, static_cast<uint32_t>(rva));
            WriteUInt32LE(d_ + nextEntry_ + 4, resource.size);
            WriteUInt32LE(d_ + nextEntry_ + 8, resource.codePage);
            nextEntry_ += kDataEntrySize;
            layout_->dataOffsets[index] = static_cast<uint32_t>(nextData_);
            nextData_ = AlignUp(nextData_ + resource.size, kDataAlignment);
        }
        return true;
    }

    const std::vector<Resource>& resources_;
    uint32_t sectionRva_;
    Layout* layout_;
    uint8_t* d_;
    uint32_t nextTable_ = 0;
    uint32_t nextString_;
    uint32_t nextEntry_;
    uint64_t nextData_;
};

// The resource compiler's order: every directory table right after its parent's entries, depth
// first; then the name strings in the order the entries meet them; then the data entries; then
// the data, each on 8 bytes.
bool BuildLayout(const std::vector<Resource>& resources, const std::vector<TypeNode>& types,
                 uint32_t sectionRva, Layout* layout, std::string* error) {
    DirectorySize size = MeasureDirectory(types);
    uint64_t entriesAt = AlignUp(size.tables + size.strings, kDataAlignment);
    uint64_t dataAt = entriesAt + resources.size() * kDataEntrySize;
    if (dataAt > 0x7FFFFFFF) {
        *error = "the resource directory is too large";
        return false;
    }
    layout->directory.assign(static_cast<size_t>(dataAt), 0);
    layout->dataOffsets.assign(resources.size(), 0);
    DirectoryWriter writer(resources, sectionRva, layout, static_cast<uint32_t>(size.tables),
                           static_cast<uint32_t>(entriesAt), dataAt);
    if (!writer.Write(types, error)) {
        return false;
    }
    if (writer.dataEnd() >= kMaxImageSize) {
        *error = "the resources make an image of 2 GB or more";
        return false;
    }
    layout->size = static_cast<uint32_t>(writer.dataEnd());
    return true;
}

// The new section table: the resource section takes the layout's size, a relocation section
// after it moves up.
struct NewSections {
    std::vector<Section> sections;
    uint64_t imageEnd;
    uint64_t fileEnd;
    uint32_t relocationShift = 0;
};

bool PlaceSections(const Image& image, const Placement& placement, uint32_t resourcesSize,
                   NewSections* placed, std::string* error) {
    placed->sections = image.sections;
    Section& rsrc = placed->sections[placement.resources];
    rsrc.virtualSize = resourcesSize;
    rsrc.rawSize = static_cast<uint32_t>(AlignUp(resourcesSize, image.fileAlignment));
    placed->imageEnd = AlignUp(static_cast<uint64_t>(rsrc.virtualAddress) + rsrc.virtualSize,
                               image.sectionAlignment);
    placed->fileEnd = static_cast<uint64_t>(rsrc.rawPointer) + rsrc.rawSize;
    if (placement.relocations >= 0) {
        Section& reloc = placed->sections[placement.relocations];
        placed->relocationShift = static_cast<uint32_t>(placed->imageEnd - reloc.virtualAddress);
        reloc.virtualAddress = static_cast<uint32_t>(placed->imageEnd);
        placed->imageEnd = AlignUp(placed->imageEnd + reloc.virtualSize, image.sectionAlignment);
        if (reloc.rawSize != 0) {
            reloc.rawPointer = static_cast<uint32_t>(placed->fileEnd);
            placed->fileEnd += reloc.rawSize;
        }
    }
    if (placed->imageEnd >= kMaxImageSize || placed->fileEnd >= kMaxImageSize) {
        *error = "the setup would be 2 GB or more";
        return false;
    }
    return true;
}

// The headers with the new section table, sizes and directories, and the checksum field zero.
std::vector<uint8_t> NewHeaders(const uint8_t* bytes, const Image& image,
                                const Placement& placement, const NewSections& placed) {
    std::vector<uint8_t> headers(bytes, bytes + image.sizeOfHeaders);
    for (size_t i = 0; i < placed.sections.size(); ++i) {
        const Section& section = placed.sections[i];
        uint8_t* h = headers.data() + image.sectionTableOffset + i * kSectionHeaderSize;
        WriteUInt32LE(h + 8, section.virtualSize);
        WriteUInt32LE(h + 12, section.virtualAddress);
        WriteUInt32LE(h + 16, section.rawSize);
        WriteUInt32LE(h + 20, section.rawPointer);
    }
    WriteUInt32LE(headers.data() + image.SizeOfImageOffset(),
                  static_cast<uint32_t>(placed.imageEnd));
    const Section& oldRsrc = image.sections[placement.resources];
    const Section& rsrc = placed.sections[placement.resources];
    if (oldRsrc.characteristics & kInitializedData) {
        uint8_t* initialized = headers.data() + image.InitializedDataOffset();
        WriteUInt32LE(initialized, ReadUInt32LE(initialized) - oldRsrc.rawSize + rsrc.rawSize);
    }
    WriteUInt32LE(headers.data() + image.DirectoryOffset(kDirectoryResource) + 4, rsrc.virtualSize);
    if (placement.relocations >= 0) {
        uint8_t* directory = headers.data() + image.DirectoryOffset(kDirectoryBaseReloc);
        WriteUInt32LE(directory, ReadUInt32LE(directory) + placed.relocationShift);
    }
    WriteUInt32LE(headers.data() + image.CheckSumOffset(), 0);
    return headers;
}

class Checked {
public:
    explicit Checked(Sink& out) : out_(out) {}
    bool Write(const void* data, size_t size) {
        if (!out_.Write(data, size)) {
            return false;
        }
        sum.Add(static_cast<const uint8_t*>(data), size);
        written += size;
        return true;
    }
    bool Zeros(uint64_t count) {
        static const uint8_t kZeros[4096] = {};
        while (count > 0) {
            size_t n = static_cast<size_t>(std::min<uint64_t>(count, sizeof kZeros));
            if (!Write(kZeros, n)) {
                return false;
            }
            count -= n;
        }
        return true;
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
    bool Write(const void* data, size_t size) override {
        taken += size;
        return out_.Write(data, size);
    }
    uint64_t taken = 0;

private:
    Checked& out_;
};

// The data of every resource, each at its offset, and the section's padding.
bool WriteResourceData(const std::vector<Resource>& resources, const Layout& layout,
                       const Section& rsrc, Checked& checked, std::string* error) {
    for (size_t i = 0; i < resources.size(); ++i) {
        const Resource& resource = resources[i];
        if (!checked.Zeros(rsrc.rawPointer + layout.dataOffsets[i] - checked.written)) {
            *error = "cannot write the setup";
            return false;
        }
        if (resource.produce) {
            ProducerSink sink(checked);
            if (!resource.produce(sink)) {
                *error = "cannot write resource " + resource.name.Describe();
                return false;
            }
            if (sink.taken != resource.size) {
                *error = "resource " + resource.name.Describe() + " changed size while written";
                return false;
            }
        } else if (!checked.Write(resource.data, resource.size)) {
            *error = "cannot write the setup";
            return false;
        }
    }
    if (!checked.Zeros(static_cast<uint64_t>(rsrc.rawPointer) + rsrc.rawSize - checked.written)) {
        *error = "cannot write the setup";
        return false;
    }
    return true;
}

// Out in file order: headers, the sections before the resources as they are, the new resource
// section, the relocations.
bool WriteInOrder(const uint8_t* bytes, const Image& image, const Placement& placement,
                  const std::vector<uint8_t>& headers, const Layout& layout,
                  const std::vector<Resource>& resources, const Section& rsrc, Checked& checked,
                  std::string* error) {
    const Section& oldRsrc = image.sections[placement.resources];
    if (!checked.Write(headers.data(), headers.size()) ||
        !checked.Write(bytes + headers.size(), oldRsrc.rawPointer - headers.size()) ||
        !checked.Write(layout.directory.data(), layout.directory.size())) {
        *error = "cannot write the setup";
        return false;
    }
    if (!WriteResourceData(resources, layout, rsrc, checked, error)) {
        return false;
    }
    if (placement.relocations >= 0) {
        const Section& oldReloc = image.sections[placement.relocations];
        if (!checked.Write(bytes + oldReloc.rawPointer, oldReloc.rawSize)) {
            *error = "cannot write the setup";
            return false;
        }
    }
    return true;
}

class FileSink : public Sink {
public:
    explicit FileSink(FILE* file) : file_(file) {}
    bool Write(const void* data, size_t size) override {
        return fwrite(data, 1, size, file_) == size;
    }

private:
    FILE* file_;
};

}  // namespace

bool WriteWithResources(const uint8_t* bytes, const Image& image, std::vector<Resource> resources,
                        Sink& out,
                        const std::function<bool(uint32_t offset, uint32_t value)>& patchCheckSum,
                        std::string* error) {
    std::vector<TypeNode> types;
    if (!BuildTree(&resources, &types, error)) {
        return false;
    }
    Placement placement = Locate(image);
    Layout layout;
    NewSections placed;
    if (!BuildLayout(resources, types, image.sections[placement.resources].virtualAddress, &layout,
                     error) ||
        !PlaceSections(image, placement, layout.size, &placed, error)) {
        return false;
    }
    std::vector<uint8_t> headers = NewHeaders(bytes, image, placement, placed);
    Checked checked(out);
    if (!WriteInOrder(bytes, image, placement, headers, layout, resources,
                      placed.sections[placement.resources], checked, error)) {
        return false;
    }
    if (image.checkSum != 0 && !patchCheckSum(image.CheckSumOffset(), checked.sum.Finish())) {
        *error = "cannot write the checksum";
        return false;
    }
    return true;
}

bool WriteWithResourcesToFile(const uint8_t* bytes, const Image& image,
                              std::vector<Resource> resources, FILE* file, std::string* error) {
    FileSink sink(file);
    return WriteWithResources(
        bytes, image, std::move(resources), sink,
        [file](uint32_t offset, uint32_t value) {
            uint8_t field[4];
            WriteUInt32LE(field, value);
            return fseek(file, offset, SEEK_SET) == 0 && fwrite(field, 1, 4, file) == 4;
        },
        error);
}

}  // namespace pe
