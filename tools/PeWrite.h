// Writing a PE image again with a new resource section, as zbpack adds the data resources to a
// prebuilt setup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/PeImage.h"

namespace pe {

// Checks that the image can take a new resource section: not signed, a resource section that
// only a base relocation section may follow, no data after the sections, no data directory but
// the resources' and the relocations' in or after that section. False with the reason in error.
bool CheckRewritable(const Image& image, uint64_t fileSize, std::string* error);

// Writes the image in bytes with its resource section replaced by one holding resources, laid
// out as the resource compiler and linker lay them out; a base relocation section after it moves
// up; SizeOfImage, SizeOfInitializedData, the two data directories and the section table follow;
// the checksum is made right when the image has one. Every byte goes through out in file order
// once, except the checksum, which is handed to patchCheckSum at the end (its file offset and
// value) when the image has one. The image must have passed CheckRewritable. False with the
// reason in error.
bool WriteWithResources(const uint8_t* bytes, const Image& image, std::vector<Resource> resources,
                        Sink& out,
                        const std::function<bool(uint32_t offset, uint32_t value)>& patchCheckSum,
                        std::string* error);

// WriteWithResources into file, open for writing and empty: the checksum is patched in place. The
// file stays open. False with the reason in error.
bool WriteWithResourcesToFile(const uint8_t* bytes, const Image& image,
                              std::vector<Resource> resources, FILE* file, std::string* error);

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
