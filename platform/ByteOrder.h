// Little-endian 32-bit integers as every file format of the setup stores them (the payload
// archive, the dictionary container): the one place that reads and writes them.
#pragma once

#include <cstdint>

inline uint32_t ReadUInt32LE(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

inline void WriteUInt32LE(unsigned char* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}
