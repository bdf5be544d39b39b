// The file sets the benchmark packs and unpacks: one shaped like the shipped payload and one of
// any size with many small and a few large files. Contents are pseudo-random and reproducible.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct CorpusFile {
    std::string name;
    uint32_t size;
};

// 26 files, 10,554,622 content bytes, the largest 6,254,592: with 264-byte record headers an
// archive of 10,561,486 bytes, like the one the setup carries.
std::vector<CorpusFile> ShippedShape();

// Files totalling exactly totalBytes: six of 14,000,000 bytes and four of 4,000,000 (as far as
// the total allows), the rest in small files of 512 bytes to about 100 KB. Every size is within
// the archive's 15,000,000-byte limit.
std::vector<CorpusFile> ManySmallFewLarge(uint64_t totalBytes);

uint64_t ContentBytes(const std::vector<CorpusFile>& files);

// Fills out with the bytes of the file with the given seed; the same seed gives the same bytes.
void FillContent(uint32_t seed, unsigned char* out, size_t size);

// Writes every file into folder (a native path that exists). Returns 1, or 0 with the reason on
// stderr.
int WriteCorpus(const std::string& folder, const std::vector<CorpusFile>& files);

}  // namespace bench
