#include "driver/Bitmap.h"

#include <cstdint>

namespace e2e {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 16384;

void Put16(std::string& out, size_t at, uint32_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, size_t at, uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

uint32_t Get16(const std::string& in, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(in[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(in[at + 1])) << 8;
}

uint32_t Get32(const std::string& in, size_t at) {
    return Get16(in, at) | Get16(in, at + 2) << 16;
}

size_t RowBytes(int width) {
    return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
}

}  // namespace

std::string EncodeBmp24(const Pixels& pixels) {
    if (pixels.width <= 0 || pixels.height <= 0 || pixels.width > kMaxSide ||
        pixels.height > kMaxSide ||
        pixels.data.size() != static_cast<size_t>(pixels.width) * pixels.height) {
        return std::string();
    }
    size_t rowBytes = RowBytes(pixels.width);
    size_t imageBytes = rowBytes * pixels.height;
    size_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::string out(offset + imageBytes, '\0');
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<uint32_t>(out.size()));
    Put32(out, 10, static_cast<uint32_t>(offset));
    Put32(out, 14, kInfoHeaderSize);
    Put32(out, 18, static_cast<uint32_t>(pixels.width));
    Put32(out, 22, static_cast<uint32_t>(pixels.height));  // positive: bottom-up
    Put16(out, 26, 1);                                     // planes
    Put16(out, 28, 24);                                    // bits per pixel
    Put32(out, 34, static_cast<uint32_t>(imageBytes));
    Put32(out, 38, 2835);  // 72 dpi
    Put32(out, 42, 2835);
    for (int y = 0; y < pixels.height; ++y) {
        size_t row = offset + rowBytes * (pixels.height - 1 - y);
        for (int x = 0; x < pixels.width; ++x) {
            uint32_t rgb = pixels.data[static_cast<size_t>(y) * pixels.width + x];
            out[row + x * 3] = static_cast<char>(rgb & 0xFF);
            out[row + x * 3 + 1] = static_cast<char>((rgb >> 8) & 0xFF);
            out[row + x * 3 + 2] = static_cast<char>((rgb >> 16) & 0xFF);
        }
    }
    return out;
}

bool DecodeBmp24(const std::string& file, Pixels* pixels) {
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
        return false;
    }
    uint32_t offset = Get32(file, 10);
    int32_t width = static_cast<int32_t>(Get32(file, 18));
    int32_t height = static_cast<int32_t>(Get32(file, 22));
    bool topDown = height < 0;
    if (topDown) {
        height = -height;
    }
    if (Get32(file, 14) < kInfoHeaderSize || Get16(file, 26) != 1 || Get16(file, 28) != 24 ||
        Get32(file, 30) != 0 || width <= 0 || height <= 0 || width > kMaxSide ||
        height > kMaxSide) {
        return false;
    }
    size_t rowBytes = RowBytes(width);
    if (offset < kFileHeaderSize + kInfoHeaderSize || offset > file.size() ||
        (file.size() - offset) / rowBytes < static_cast<size_t>(height)) {
        return false;
    }
    pixels->width = width;
    pixels->height = height;
    pixels->data.assign(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        size_t row = offset + rowBytes * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const unsigned char* bgr = reinterpret_cast<const unsigned char*>(&file[row + x * 3]);
            pixels->data[static_cast<size_t>(y) * width + x] =
                static_cast<uint32_t>(bgr[2]) << 16 | static_cast<uint32_t>(bgr[1]) << 8 | bgr[0];
        }
    }
    return true;
}

}  // namespace e2e
