#include "tools/ReleaseInputs.h"

#include <cstdlib>
#include <cstring>

#include "platform/ByteOrder.h"

namespace release {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kIconDirSize = 6;
constexpr uint32_t kIconEntrySize = 16;
constexpr uint32_t kGroupEntrySize = 14;
constexpr uint32_t kBitFields = 3;
constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

const unsigned char* At(const std::string& bytes, size_t offset) {
    return reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
}

void Put16(std::string* out, uint16_t value) {
    unsigned char b[2];
    WriteUInt16LE(b, value);
    out->append(reinterpret_cast<char*>(b), 2);
}

void Put32(std::string* out, uint32_t value) {
    unsigned char b[4];
    WriteUInt32LE(b, value);
    out->append(reinterpret_cast<char*>(b), 4);
}

struct DibHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bits;
    uint32_t compression;
    uint32_t colorsUsed;
    uint32_t paletteBytes;  // colour table and, after a 40-byte header, the bit-field masks
};

// The fields of a DIB header (BITMAPINFOHEADER or one of its longer successors) at bytes[at].
bool ReadDibHeader(const std::string& bytes, size_t at, DibHeader* header) {
    if (bytes.size() < at + kInfoHeaderSize) {
        return false;
    }
    DibHeader h;
    h.size = ReadUInt32LE(At(bytes, at));
    if (h.size != 40 && h.size != 52 && h.size != 56 && h.size != 108 && h.size != 124) {
        return false;
    }
    h.width = static_cast<int32_t>(ReadUInt32LE(At(bytes, at + 4)));
    h.height = static_cast<int32_t>(ReadUInt32LE(At(bytes, at + 8)));
    h.planes = ReadUInt16LE(At(bytes, at + 12));
    h.bits = ReadUInt16LE(At(bytes, at + 14));
    h.compression = ReadUInt32LE(At(bytes, at + 16));
    h.colorsUsed = ReadUInt32LE(At(bytes, at + 32));
    if (h.colorsUsed > 256 && h.bits <= 8) {
        return false;
    }
    uint32_t colors = h.colorsUsed != 0 ? h.colorsUsed : (h.bits <= 8 ? 1u << h.bits : 0);
    if (colors > 65536) {
        return false;
    }
    h.paletteBytes = 4 * colors + (h.compression == kBitFields && h.size == 40 ? 12 : 0);
    *header = h;
    return true;
}

std::string Number(long long value) {
    return std::to_string(value);
}

}  // namespace

std::string CheckDocument(const std::string& bytes) {
    if (bytes.compare(0, 5, "{\\rtf") != 0) {
        return "is not an RTF document (it does not start with {\\rtf)";
    }
    if (bytes.size() > kMaxDocumentSize) {
        return "is " + Number(static_cast<long long>(bytes.size())) + " bytes, more than the " +
               Number(kMaxDocumentSize) + " that the setup's document control shows";
    }
    long depth = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\\') {
            ++i;  // \{ \} \\ are text, not groups
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth < 0) {
            break;
        }
    }
    if (depth != 0) {
        return "is not a whole RTF document (its braces do not balance)";
    }
    return "";
}

std::string BitmapToDib(const std::string& file, const std::string& stubDib, std::string* dib) {
    DibHeader want;
    if (!ReadDibHeader(stubDib, 0, &want)) {
        return "the stub's own picture cannot be read";
    }
    DibHeader got;
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M' ||
        !ReadDibHeader(file, kFileHeaderSize, &got)) {
        return "is not a Windows bitmap (BM and a BITMAPINFOHEADER)";
    }
    uint32_t declared = ReadUInt32LE(At(file, 2));
    if (declared != file.size()) {
        return "is not a whole bitmap: its header gives " + Number(declared) +
               " bytes, the file has " + Number(static_cast<long long>(file.size()));
    }
    uint32_t pixelsAt = ReadUInt32LE(At(file, 10));
    if (pixelsAt != kFileHeaderSize + got.size + got.paletteBytes) {
        return "its pixels do not follow its header and colour table";
    }
    if (got.planes != 1 || (got.compression != 0 && got.compression != kBitFields)) {
        return "is a compressed bitmap or has more than one plane";
    }
    int64_t wantHeight = std::llabs(want.height);
    int64_t gotHeight = std::llabs(got.height);
    if (got.width != want.width || gotHeight != wantHeight || got.bits != want.bits) {
        return "is " + Number(got.width) + " x " + Number(gotHeight) + " pixels, " +
               Number(got.bits) + " bits per pixel; the dialog's picture is " + Number(want.width) +
               " x " + Number(wantHeight) + ", " + Number(want.bits);
    }
    uint64_t rowBytes = (static_cast<uint64_t>(got.width) * got.bits + 31) / 32 * 4;
    if (pixelsAt + rowBytes * static_cast<uint64_t>(gotHeight) > file.size()) {
        return "is cut short: its pixels do not fit the file";
    }
    *dib = file.substr(kFileHeaderSize);
    return "";
}

std::string DibToBitmap(const std::string& dib) {
    DibHeader header;
    if (!ReadDibHeader(dib, 0, &header)) {
        return "";
    }
    std::string file = "BM";
    Put32(&file, static_cast<uint32_t>(kFileHeaderSize + dib.size()));
    Put32(&file, 0);
    Put32(&file, kFileHeaderSize + header.size + header.paletteBytes);
    return file + dib;
}

std::string ParseIcon(const std::string& file, std::vector<IconImage>* images) {
    if (file.size() < kIconDirSize || ReadUInt16LE(At(file, 0)) != 0 ||
        ReadUInt16LE(At(file, 2)) != 1) {
        return "is not an icon file (.ico)";
    }
    uint32_t count = ReadUInt16LE(At(file, 4));
    if (count == 0) {
        return "holds no image";
    }
    if (file.size() < kIconDirSize + count * kIconEntrySize) {
        return "is cut short: its directory does not fit the file";
    }
    images->clear();
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = At(file, kIconDirSize + i * kIconEntrySize);
        IconImage image;
        image.width = entry[0];
        image.height = entry[1];
        image.colors = entry[2];
        image.planes = ReadUInt16LE(entry + 4);
        image.bits = ReadUInt16LE(entry + 6);
        uint32_t size = ReadUInt32LE(entry + 8);
        uint32_t offset = ReadUInt32LE(entry + 12);
        if (size == 0 || offset > file.size() || size > file.size() - offset) {
            return "image " + Number(i + 1) + " lies outside the file";
        }
        image.bytes = file.substr(offset, size);
        DibHeader header;
        bool png = image.bytes.compare(0, 8, kPngSignature, 8) == 0;
        if (!png && (!ReadDibHeader(image.bytes, 0, &header) || header.size != kInfoHeaderSize)) {
            return "image " + Number(i + 1) + " is neither a bitmap nor a PNG";
        }
        if (image.planes == 0) {
            image.planes = 1;
        }
        if (image.bits == 0) {
            while ((1L << image.bits) < image.colors) {
                ++image.bits;
            }
        }
        images->push_back(std::move(image));
    }
    return "";
}

namespace {

// The header of an icon directory, in a .ico file and in a group alike.
void PutIconDirectory(std::string* out, size_t count) {
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(count));
}

// What a directory entry of a .ico file and one of a group share: the image's fields and size.
// The file's entry goes on with the image's offset, the group's with its icon id.
void PutIconEntry(std::string* out, const IconImage& image) {
    out->push_back(static_cast<char>(image.width));
    out->push_back(static_cast<char>(image.height));
    out->push_back(static_cast<char>(image.colors));
    out->push_back('\0');
    Put16(out, image.planes);
    Put16(out, image.bits);
    Put32(out, static_cast<uint32_t>(image.bytes.size()));
}

}  // namespace

std::string EncodeIconGroup(const std::vector<IconImage>& images, uint16_t firstId) {
    std::string group;
    PutIconDirectory(&group, images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        PutIconEntry(&group, images[i]);
        Put16(&group, static_cast<uint16_t>(firstId + i));
    }
    return group;
}

bool ParseIconGroup(const std::string& group, std::vector<IconImage>* entries,
                    std::vector<uint16_t>* ids) {
    if (group.size() < kIconDirSize || ReadUInt16LE(At(group, 2)) != 1) {
        return false;
    }
    uint32_t count = ReadUInt16LE(At(group, 4));
    if (group.size() < kIconDirSize + count * kGroupEntrySize) {
        return false;
    }
    entries->clear();
    ids->clear();
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = At(group, kIconDirSize + i * kGroupEntrySize);
        IconImage image{
            entry[0], entry[1], entry[2], ReadUInt16LE(entry + 4), ReadUInt16LE(entry + 6), {}};
        entries->push_back(image);
        ids->push_back(ReadUInt16LE(entry + 12));
    }
    return true;
}

std::string EncodeIconFile(const std::vector<IconImage>& images) {
    std::string file;
    PutIconDirectory(&file, images.size());
    uint32_t offset = kIconDirSize + static_cast<uint32_t>(images.size()) * kIconEntrySize;
    for (const IconImage& image : images) {
        PutIconEntry(&file, image);
        Put32(&file, offset);
        offset += static_cast<uint32_t>(image.bytes.size());
    }
    for (const IconImage& image : images) {
        file += image.bytes;
    }
    return file;
}

}  // namespace release
