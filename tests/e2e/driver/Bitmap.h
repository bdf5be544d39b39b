// 24-bit BMP files for the driver's screenshots: written by the driver, read back by the runner.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Pixels are 0x00RRGGBB, rows top to bottom.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;
};

// A BITMAPFILEHEADER + BITMAPINFOHEADER file, bottom-up rows of BGR padded to 4 bytes.
// Returns an empty text when the picture is empty or its data does not match its size.
std::string EncodeBmp24(const Pixels& pixels);

// Reads an uncompressed 24-bit BMP (bottom-up or top-down). Returns false for anything else.
bool DecodeBmp24(const std::string& file, Pixels* pixels);

}  // namespace e2e
