#include "bench/Corpus.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace bench {

std::vector<CorpusFile> ShippedShape() {
    // The kinds of files the setup installs: programs and controls of a few hundred KB to 6 MB,
    // libraries, a font, the dictionary, web pages and pictures, a few tiny files.
    return {
        {"ZarBelPC.exe", 6254592}, {"MFC71.dll", 1060864},     {"msvcr71.dll", 348160},
        {"MSCOMCTL.OCX", 1077344}, {"COMDLG32.OCX", 140096},   {"MSCOMCT2.OCX", 647168},
        {"MSINET.OCX", 126976},    {"TABCTL32.OCX", 209408},   {"TuneChooser.ocx", 118784},
        {"TuneChooser.exp", 2048}, {"TuneChooser.lib", 4096},  {"ZarBelPC_UNINSTALL.exe", 45056},
        {"assocset.exe", 36864},   {"SongIndexer.exe", 98304}, {"ZARBELPC.INI", 1200},
        {"DICT.DIC", 46169},       {"eurostib.TTF", 52000},    {"index.html", 9728},
        {"help.html", 12288},      {"index.html.bak", 9700},   {"style.css", 2300},
        {"logo.jpg", 215650},      {"banner.gif", 15000},      {"movefile.bat", 300},
        {"Thumbs.db", 20480},      {"VERSION.DAT", 47},
    };
}

std::vector<CorpusFile> ManySmallFewLarge(uint64_t totalBytes) {
    std::vector<CorpusFile> files;
    uint64_t left = totalBytes;
    char name[32];
    auto take = [&](const char* prefix, unsigned index, uint64_t size) {
        snprintf(name, sizeof name, "%s%04u.DAT", prefix, index);
        files.push_back({name, static_cast<uint32_t>(size)});
        left -= size;
    };
    for (unsigned i = 0; i < 6 && left >= 14000000 * 2; ++i) {
        take("LARGE", i, 14000000);
    }
    for (unsigned i = 0; i < 4 && left >= 4000000 * 2; ++i) {
        take("MEDIUM", i, 4000000);
    }
    // Sizes spread over 512 .. 102,911 bytes by a fixed sequence, the last one taking the rest.
    uint32_t state = 12345;
    // take() lowers left; a while loop keeps that plain to every compiler's loop analysis.
    unsigned small = 0;
    while (left > 0) {
        state = state * 1103515245u + 12345u;
        uint64_t size = 512 + (state >> 8) % 102400;
        if (size >= left || left - size < 512) {
            size = left;
        }
        take("SMALL", small++, size);
    }
    return files;
}

uint64_t ContentBytes(const std::vector<CorpusFile>& files) {
    uint64_t total = 0;
    for (const CorpusFile& file : files) {
        total += file.size;
    }
    return total;
}

void FillContent(uint32_t seed, unsigned char* out, size_t size) {
    // xorshift64: fast, and incompressible enough that no layer below gets an easy ride.
    uint64_t state = 0x9E3779B97F4A7C15ull ^ (static_cast<uint64_t>(seed) * 0xBF58476D1CE4E5B9ull);
    if (state == 0) {
        state = 1;
    }
    size_t i = 0;
    while (i < size) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        for (int b = 0; b < 8 && i < size; ++b, ++i) {
            out[i] = static_cast<unsigned char>(state >> (8 * b));
        }
    }
}

int WriteCorpus(const std::string& folder, const std::vector<CorpusFile>& files) {
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i < files.size(); ++i) {
        bytes.resize(files[i].size);
        FillContent(static_cast<uint32_t>(i), bytes.data(), bytes.size());
        std::string path = folder + "/" + files[i].name;
        FILE* file = fopen(path.c_str(), "wb");
        if (file == nullptr) {
            fprintf(stderr, "zb_bench: %s: %s\n", path.c_str(), strerror(errno));
            return 0;
        }
        size_t written = fwrite(bytes.data(), 1, bytes.size(), file);
        if (fclose(file) != 0 || written != bytes.size()) {
            fprintf(stderr, "zb_bench: %s: cannot be written\n", path.c_str());
            return 0;
        }
    }
    return 1;
}

}  // namespace bench
