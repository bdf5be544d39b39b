// The PE writer of zbpack setup build on small images made here: where the new resource section
// and a following relocation section land, the headers that follow them, the checksum, and the
// images it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ByteOrder.h"
#include "tools/PeRead.h"
#include "tools/PeWrite.h"
#include "tools/ReleaseInputs.h"

namespace {

struct ImageSpec {
    bool is64 = true;
    uint32_t fileAlignment = 0x200;
    bool relocations = true;     // a .reloc section after .rsrc
    bool checkSum = true;        // a non-zero CheckSum field
    bool dataAfterRsrc = false;  // a .data section after .rsrc
    bool signature = false;      // a certificate table
    bool debugInReloc = false;   // a debug directory inside .reloc
    bool noRsrc = false;         // no resource section at all
    uint32_t overlay = 0;        // bytes after the last section
};

constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kTextSize = 0x321;
constexpr uint32_t kRelocSize = 0x2C;

uint32_t Align(uint32_t value, uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// A small image: .text, [.rsrc with an empty resource tree], [.data], [.reloc].
std::vector<uint8_t> MakeImage(const ImageSpec& spec) {
    struct Part {
        const char* name;
        uint32_t size;
        uint8_t fill;
        uint32_t characteristics;
    };
    std::vector<Part> parts = {{".text", kTextSize, 0xCC, 0x60000020}};
    if (!spec.noRsrc) {
        parts.push_back({".rsrc", 16, 0x00, 0xC0000040});
    }
    if (spec.dataAfterRsrc) {
        parts.push_back({".data", 0x40, 0x5A, 0xC0000040});
    }
    if (spec.relocations) {
        parts.push_back({".reloc", kRelocSize, 0xAB, 0x42000040});
    }
    uint32_t optionalSize = spec.is64 ? 240 : 224;
    uint32_t sectionTable = 0x40 + 24 + optionalSize;
    uint32_t headers =
        Align(sectionTable + 40 * static_cast<uint32_t>(parts.size()), spec.fileAlignment);
    std::vector<uint8_t> image(headers, 0);
    image[0] = 'M';
    image[1] = 'Z';
    WriteUInt32LE(&image[60], 0x40);
    WriteUInt32LE(&image[0x40], 0x00004550);
    WriteUInt16LE(&image[0x44], spec.is64 ? 0x8664 : 0x14C);
    WriteUInt16LE(&image[0x46], static_cast<uint16_t>(parts.size()));
    WriteUInt16LE(&image[0x54], static_cast<uint16_t>(optionalSize));
    uint8_t* optional = &image[0x58];
    WriteUInt16LE(optional, spec.is64 ? 0x20B : 0x10B);
    WriteUInt32LE(optional + 32, kSectionAlignment);
    WriteUInt32LE(optional + 36, spec.fileAlignment);
    WriteUInt32LE(optional + 60, headers);
    WriteUInt32LE(optional + 64, spec.checkSum ? 0x12345 : 0);
    uint32_t directories = spec.is64 ? 112 : 96;
    WriteUInt32LE(optional + directories - 4, 16);

    uint32_t rva = kSectionAlignment;
    uint32_t initialized = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const Part& part = parts[i];
        uint32_t raw = Align(part.size, spec.fileAlignment);
        uint8_t* header = &image[sectionTable + 40 * i];
        memcpy(header, part.name, strlen(part.name));
        WriteUInt32LE(header + 8, part.size);
        WriteUInt32LE(header + 12, rva);
        WriteUInt32LE(header + 16, raw);
        WriteUInt32LE(header + 20, static_cast<uint32_t>(image.size()));
        WriteUInt32LE(header + 36, part.characteristics);
        image.resize(image.size() + raw, 0);
        memset(&image[image.size() - raw], part.fill, part.size);
        if (part.characteristics & 0x40) {
            initialized += raw;
        }
        std::string name = part.name;
        optional = &image[0x58];  // the image has grown
        uint8_t* directory = optional + directories;
        if (name == ".rsrc") {
            memset(&image[image.size() - raw], 0, part.size);  // a root table of no entries
            WriteUInt32LE(directory + 8 * pe::kDirectoryResource, rva);
            WriteUInt32LE(directory + 8 * pe::kDirectoryResource + 4, part.size);
        } else if (name == ".reloc") {
            WriteUInt32LE(directory + 8 * pe::kDirectoryBaseReloc, rva);
            WriteUInt32LE(directory + 8 * pe::kDirectoryBaseReloc + 4, part.size);
            if (spec.debugInReloc) {
                WriteUInt32LE(directory + 8 * 6, rva + 4);
                WriteUInt32LE(directory + 8 * 6 + 4, 8);
            }
        }
        rva += Align(part.size, kSectionAlignment);
    }
    WriteUInt32LE(optional + 8, initialized);
    WriteUInt32LE(optional + 56, rva);
    if (spec.signature) {
        WriteUInt32LE(optional + directories + 8 * pe::kDirectorySecurity, 0x2000);
        WriteUInt32LE(optional + directories + 8 * pe::kDirectorySecurity + 4, 0x100);
    }
    image.resize(image.size() + spec.overlay, 0x77);
    return image;
}

class MemorySink : public pe::Sink {
public:
    bool Write(const void* data, size_t size) override {
        const uint8_t* in = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), in, in + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

// Writes image with resources; returns the new image, or empty with the reason in error. The
// image's own resources are read, as zbpack setup build reads the stub's.
std::vector<uint8_t> Rewrite(const std::vector<uint8_t>& image,
                             const std::vector<pe::Resource>& resources, std::string* error) {
    pe::Image parsed;
    std::vector<pe::Resource> own;
    if (!pe::ParseImage(image.data(), image.size(), &parsed, error) ||
        !pe::CheckRewritable(parsed, image.size(), error) ||
        !pe::ReadResources(image.data(), image.size(), parsed, &own, error)) {
        return {};
    }
    MemorySink sink;
    bool ok = pe::WriteWithResources(
        image.data(), parsed, resources, sink,
        [&sink](uint32_t offset, uint32_t value) {
            WriteUInt32LE(&sink.bytes[offset], value);
            return true;
        },
        error);
    return ok ? sink.bytes : std::vector<uint8_t>();
}

// The checksum as the classic loop computes it: fold after every word.
uint32_t ReferenceCheckSum(std::vector<uint8_t> file, uint32_t field) {
    WriteUInt32LE(&file[field], 0);
    uint32_t sum = 0;
    for (size_t i = 0; i < file.size(); i += 2) {
        sum += file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum + static_cast<uint32_t>(file.size());
}

pe::Resource MemoryResource(pe::ResourceKey type, pe::ResourceKey name, const std::string& data) {
    return {type,
            name,
            1040,
            0,
            static_cast<uint32_t>(data.size()),
            reinterpret_cast<const uint8_t*>(data.data()),
            {}};
}

// A resource produced in blocks, as the payload archive is.
pe::Resource ProducedResource(const char* name, uint32_t size, uint8_t seed) {
    pe::Resource r{pe::ResourceKey::Name("PLAINEXTRACT"),
                   pe::ResourceKey::Name(name),
                   1040,
                   0,
                   size,
                   nullptr,
                   {}};
    r.produce = [size, seed](pe::Sink& sink) {
        std::vector<uint8_t> block(4099);
        for (uint32_t done = 0; done < size;) {
            uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(block.size()), size - done);
            for (uint32_t i = 0; i < n; ++i) {
                block[i] = static_cast<uint8_t>((done + i) * 7 + seed);
            }
            if (!sink.Write(block.data(), n)) {
                return false;
            }
            done += n;
        }
        return true;
    };
    return r;
}

// Damage done to a written stub (PE32+, .text, .rsrc with two types, .reloc).
constexpr size_t kOptional = 0x58;
constexpr size_t kSectionTable = kOptional + 240;
uint32_t Get(const std::vector<uint8_t>& image, size_t offset) {
    return ReadUInt32LE(&image[offset]);
}
void Set(std::vector<uint8_t>& image, size_t offset, uint32_t value) {
    WriteUInt32LE(&image[offset], value);
}
void HeadersOverResources(std::vector<uint8_t>& image) {
    Set(image, kOptional + 60, Get(image, kSectionTable + 40 + 20) + 0x200);
}
void SecondTypeSharesTheFirstsTable(std::vector<uint8_t>& image) {
    size_t root = Get(image, kSectionTable + 40 + 20);
    Set(image, root + 16 + 8 + 4, Get(image, root + 16 + 4));
}
void RelocationsOverlapResourcesInMemory(std::vector<uint8_t>& image) {
    Set(image, kSectionTable + 80 + 12, Get(image, kSectionTable + 40 + 12) + 8);
}
void RelocationsOverlapResourcesInTheFile(std::vector<uint8_t>& image) {
    Set(image, kSectionTable + 80 + 20, Get(image, kSectionTable + 40 + 20));
}
void ImportsWrapAround(std::vector<uint8_t>& image) {
    Set(image, kOptional + 112 + 8, 0xFFFFFF00u);
    Set(image, kOptional + 112 + 12, 0x200);
}
void HugeAlignment(std::vector<uint8_t>& image) {
    Set(image, kOptional + 32, 0x40000000);
    Set(image, kOptional + 36, 0x40000000);
}

struct Case {
    const char* what;
    ImageSpec spec;
    uint32_t archiveSize;
    const char* refusal;  // a part of the error, or null when the image must be written
    void (*damage)(std::vector<uint8_t>& stub);
};

TEST(PeImageTest, ResourceSectionPlacementAndRefusals) {
    ImageSpec pe32;
    pe32.is64 = false;
    pe32.relocations = false;
    pe32.checkSum = false;
    ImageSpec wide;
    wide.fileAlignment = 0x1000;
    ImageSpec odd;
    ImageSpec signedImage;
    signedImage.signature = true;
    ImageSpec dataAfter;
    dataAfter.dataAfterRsrc = true;
    ImageSpec overlay;
    overlay.overlay = 0x10;
    ImageSpec noRsrc;
    noRsrc.noRsrc = true;
    ImageSpec debug;
    debug.debugInReloc = true;
    ImageSpec pe32Reloc;
    pe32Reloc.is64 = false;

    const Case cases[] = {
        {"PE32+, .reloc after .rsrc, checksum", ImageSpec{}, 1024 * 1024 + 5, nullptr},
        {"PE32, nothing after .rsrc, no checksum", pe32, 70001, nullptr},
        {"PE32 with .reloc", pe32Reloc, 1, nullptr},
        {"file alignment = section alignment", wide, 0x1000, nullptr},
        {"empty archive", odd, 0, nullptr},
        {"signed", signedImage, 10, "signed"},
        {"a data section after .rsrc", dataAfter, 10, "section .data follows the resource"},
        {"data after the last section", overlay, 10, "data after its last section"},
        {"no resources", noRsrc, 10, "no resource section"},
        {"debug directory inside .reloc", debug, 10, "data directory 6"},
        {"SizeOfHeaders above the resources' raw data", ImageSpec{}, 10, "below SizeOfHeaders",
         HeadersOverResources},
        {"a type table reached twice", ImageSpec{}, 10, "not a tree",
         SecondTypeSharesTheFirstsTable},
        {"sections overlapping in memory", ImageSpec{}, 10, "overlaps the one before it in memory",
         RelocationsOverlapResourcesInMemory},
        {"sections overlapping in the file", ImageSpec{}, 10,
         "overlaps the one before it in the file", RelocationsOverlapResourcesInTheFile},
        {"a data directory wrapping around", ImageSpec{}, 10, "data directory 1 wraps",
         ImportsWrapAround},
        {"a file alignment of 1 GB", ImageSpec{}, 10, "over 64 KB", HugeAlignment},
    };
    const std::string dialog = "dialog template";
    const std::string icon(13, '\x11');
    const std::string dictionary = "scrambled dictionary, 37 bytes long!!";

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> blank = MakeImage(c.spec);
        std::string error;
        // The stub: an image whose resources the resource compiler would have made.
        std::vector<uint8_t> stub =
            c.spec.noRsrc || c.spec.signature || c.spec.overlay || c.spec.dataAfterRsrc ||
                    c.spec.debugInReloc
                ? blank
                : Rewrite(blank,
                          {MemoryResource(pe::ResourceKey::Id(5),
                                          pe::ResourceKey::Name("INSTALLDLG"), dialog),
                           MemoryResource(pe::ResourceKey::Id(3), pe::ResourceKey::Id(1), icon)},
                          &error);
        ASSERT_FALSE(stub.empty()) << error;
        if (c.damage != nullptr) {
            c.damage(stub);
        }
        // The stub's own resources and the two data ones, as zbpack setup build hands them over.
        std::vector<pe::Resource> resources;
        pe::Image parsedStub;
        if (c.refusal == nullptr) {
            ASSERT_TRUE(pe::ParseImage(stub.data(), stub.size(), &parsedStub, &error));
            ASSERT_TRUE(
                pe::ReadResources(stub.data(), stub.size(), parsedStub, &resources, &error));
            ASSERT_EQ(2u, resources.size());
        }
        resources.push_back(MemoryResource(pe::ResourceKey::Name("PLAINEXTRACT"),
                                           pe::ResourceKey::Name("DICT.DIC"), dictionary));
        resources.push_back(ProducedResource("RESOURCE.DAT", c.archiveSize, 3));
        std::vector<uint8_t> out = Rewrite(stub, resources, &error);
        if (c.refusal != nullptr) {
            EXPECT_TRUE(out.empty());
            EXPECT_NE(std::string::npos, error.find(c.refusal)) << error;
            continue;
        }
        ASSERT_FALSE(out.empty()) << error;

        pe::Image before, after;
        ASSERT_TRUE(pe::ParseImage(stub.data(), stub.size(), &before, &error));
        ASSERT_TRUE(pe::ParseImage(out.data(), out.size(), &after, &error)) << error;
        ASSERT_EQ(before.sections.size(), after.sections.size());
        const pe::Section& rsrc = after.sections[1];
        EXPECT_EQ(".rsrc", rsrc.name);
        EXPECT_EQ(before.sections[1].virtualAddress, rsrc.virtualAddress);
        EXPECT_EQ(before.sections[1].rawPointer, rsrc.rawPointer);
        EXPECT_EQ(0u, rsrc.rawSize % c.spec.fileAlignment);
        EXPECT_EQ(0u, rsrc.virtualSize % 8);
        EXPECT_GE(rsrc.rawSize, rsrc.virtualSize);
        EXPECT_EQ(rsrc.virtualAddress, after.Directory(pe::kDirectoryResource).rva);
        EXPECT_EQ(rsrc.virtualSize, after.Directory(pe::kDirectoryResource).size);
        // The code before the resources is untouched.
        EXPECT_TRUE(std::equal(stub.begin() + before.sizeOfHeaders,
                               stub.begin() + before.sections[1].rawPointer,
                               out.begin() + after.sizeOfHeaders));
        uint32_t end = Align(rsrc.virtualAddress + rsrc.virtualSize, kSectionAlignment);
        uint32_t rawEnd = rsrc.rawPointer + rsrc.rawSize;
        if (c.spec.relocations) {
            const pe::Section& reloc = after.sections[2];
            EXPECT_EQ(end, reloc.virtualAddress) << "the relocations follow on the next page";
            EXPECT_EQ(rawEnd, reloc.rawPointer);
            EXPECT_EQ(reloc.virtualAddress, after.Directory(pe::kDirectoryBaseReloc).rva);
            EXPECT_EQ(kRelocSize, after.Directory(pe::kDirectoryBaseReloc).size);
            EXPECT_EQ(std::vector<uint8_t>(kRelocSize, 0xAB),
                      std::vector<uint8_t>(out.begin() + reloc.rawPointer,
                                           out.begin() + reloc.rawPointer + kRelocSize));
            end = Align(reloc.virtualAddress + reloc.virtualSize, kSectionAlignment);
            rawEnd = reloc.rawPointer + reloc.rawSize;
        }
        EXPECT_EQ(end, after.sizeOfImage);
        EXPECT_EQ(rawEnd, out.size());
        EXPECT_EQ(ReadUInt32LE(&stub[before.InitializedDataOffset()]) - before.sections[1].rawSize +
                      rsrc.rawSize,
                  ReadUInt32LE(&out[after.InitializedDataOffset()]));
        if (c.spec.checkSum) {
            EXPECT_EQ(ReferenceCheckSum(out, after.CheckSumOffset()), after.checkSum);
        } else {
            EXPECT_EQ(0u, after.checkSum);
        }

        // Read back: names first, then ids; every resource's bytes, each starting on 8 bytes.
        std::vector<pe::Resource> read;
        ASSERT_TRUE(pe::ReadResources(out.data(), out.size(), after, &read, &error)) << error;
        ASSERT_EQ(4u, read.size());
        EXPECT_EQ("\"DICT.DIC\"", read[0].name.Describe());
        EXPECT_EQ("\"RESOURCE.DAT\"", read[1].name.Describe());
        EXPECT_EQ("1", read[2].name.Describe());  // the icon, type 3
        EXPECT_EQ("\"INSTALLDLG\"", read[3].name.Describe());
        EXPECT_EQ(dictionary, std::string(read[0].data, read[0].data + read[0].size));
        ASSERT_EQ(c.archiveSize, read[1].size);
        for (uint32_t i = 0; i < c.archiveSize; i += 997) {
            ASSERT_EQ(static_cast<uint8_t>(i * 7 + 3), read[1].data[i]) << "byte " << i;
        }
        EXPECT_EQ(icon, std::string(read[2].data, read[2].data + read[2].size));
        EXPECT_EQ(dialog, std::string(read[3].data, read[3].data + read[3].size));
        for (const pe::Resource& r : read) {
            EXPECT_EQ(1040, r.language);
            EXPECT_EQ(0u, (r.data - out.data() - rsrc.rawPointer) % 8);
        }
    }
}

TEST(PeImageTest, RefusesWhatCannotBeWrittenRight) {
    std::vector<uint8_t> image = MakeImage(ImageSpec{});
    std::string error;
    const std::string data = "x";
    // Two resources under one type, name and language.
    pe::Resource twice =
        MemoryResource(pe::ResourceKey::Name("RTF"), pe::ResourceKey::Name("A.RTF"), data);
    EXPECT_TRUE(Rewrite(image, {twice, twice}, &error).empty());
    EXPECT_NE(std::string::npos, error.find("two resources")) << error;
    // A producer that hands fewer bytes than announced (a file that shrank while read).
    pe::Resource shrunk = ProducedResource("RESOURCE.DAT", 100, 0);
    shrunk.size = 101;
    EXPECT_TRUE(Rewrite(image, {shrunk}, &error).empty());
    EXPECT_NE(std::string::npos, error.find("changed size")) << error;
    // Not a PE image at all, and one whose section runs past the end of the file.
    std::vector<uint8_t> text(200, 'a');
    EXPECT_TRUE(Rewrite(text, {}, &error).empty());
    EXPECT_NE(std::string::npos, error.find("no MZ header")) << error;
    std::vector<uint8_t> cut(image.begin(), image.end() - 0x200);
    EXPECT_TRUE(Rewrite(cut, {}, &error).empty());
    EXPECT_NE(std::string::npos, error.find("past the end of the file")) << error;
    // A tree whose leaves repeat a long type name more often than the file could hold it: the
    // reader would copy the name per leaf.
    std::vector<pe::Resource> repeated;
    const std::string longType(2000, 'T');
    for (uint16_t id = 1; id <= 8; ++id) {
        repeated.push_back(
            MemoryResource(pe::ResourceKey::Name(longType.c_str()), pe::ResourceKey::Id(id), data));
    }
    std::vector<uint8_t> named = Rewrite(image, repeated, &error);
    ASSERT_FALSE(named.empty()) << error;
    EXPECT_TRUE(Rewrite(named, {}, &error).empty());
    EXPECT_NE(std::string::npos, error.find("take more room than the file holds")) << error;
}

TEST(PeImageTest, CheckSumOverPiecesOfAnyLength) {
    std::vector<uint8_t> bytes(100003);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 131 + (i >> 9));
    }
    WriteUInt32LE(&bytes[64], 0);  // the field, as the writer streams it
    pe::CheckSum whole;
    whole.Add(bytes.data(), bytes.size());
    pe::CheckSum pieces;
    for (size_t at = 0, n = 1; at < bytes.size(); at += n, n = n % 7 + 1) {
        pieces.Add(bytes.data() + at, std::min(n, bytes.size() - at));
    }
    EXPECT_EQ(ReferenceCheckSum(bytes, 64), whole.Finish());
    EXPECT_EQ(whole.Finish(), pieces.Finish());
    // Words that carry all the way round: the sum is 0xFFFF, not 0.
    std::vector<uint8_t> ones(70, 0xFF);
    WriteUInt32LE(&ones[64], 0);
    pe::CheckSum carried;
    carried.Add(ones.data(), ones.size());
    EXPECT_EQ(ReferenceCheckSum(ones, 64), carried.Finish());
}

// Icons and pictures as the resource compiler stores them: an icon entry with 0 planes and 0 bits
// gets 1 plane and the bits its colours need, and a picture goes in without its file header and
// comes out of it again byte for byte.
TEST(PeImageTest, IconsAndPicturesAsTheResourceCompilerStoresThem) {
    std::string image(40, '\0');
    image[0] = 40;  // a BITMAPINFOHEADER and nothing after it is enough for the directory
    std::string ico("\0\0\1\0\1\0", 6);
    ico +=
        std::string("\x20\x20\x10\0\0\0\0\0", 8) + std::string("\x28\0\0\0\x16\0\0\0", 8) + image;
    std::vector<release::IconImage> images;
    ASSERT_EQ("", release::ParseIcon(ico, &images));
    ASSERT_EQ(1u, images.size());
    EXPECT_EQ(1, images[0].planes);
    EXPECT_EQ(4, images[0].bits);
    std::string group = release::EncodeIconGroup(images, 7);
    EXPECT_EQ(std::string("\0\0\1\0\1\0\x20\x20\x10\0\1\0\4\0\x28\0\0\0\7\0", 20), group);
    EXPECT_EQ("image 1 lies outside the file", release::ParseIcon(ico.substr(0, 40), &images));

    // 2 x 2, 24 bits: rows of 6 bytes padded to 8.
    std::string dib(40, '\0');
    dib[0] = 40, dib[4] = 2, dib[8] = 2, dib[12] = 1, dib[14] = 24;
    dib += std::string(16, '\x7f');
    std::string file = release::DibToBitmap(dib);
    ASSERT_EQ(14 + dib.size(), file.size());
    EXPECT_EQ(std::string("BM\x46\0\0\0\0\0\0\0\x36\0\0\0", 14), file.substr(0, 14));
    std::string back;
    EXPECT_EQ("", release::BitmapToDib(file, dib, &back));
    EXPECT_EQ(dib, back);
    EXPECT_EQ("is cut short: its pixels do not fit the file",
              release::BitmapToDib(file.substr(0, 60).replace(2, 1, "\x3c"), dib, &back));
}

}  // namespace
