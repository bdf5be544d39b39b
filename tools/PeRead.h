// Reading a PE image: its headers and its resource tree, every offset and length checked
// against the bytes there are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/PeImage.h"

namespace pe {

// Reads the headers of the image in bytes[0, size). False with the reason in error.
bool ParseImage(const uint8_t* bytes, size_t size, Image* image, std::string* error);

// Reads the resource tree of image (three levels: type, name, language). The resources' data
// point into bytes. False with the reason in error.
bool ReadResources(const uint8_t* bytes, size_t size, const Image& image,
                   std::vector<Resource>* resources, std::string* error);

}  // namespace pe
