#include "tools/PeImage.h"

#include <algorithm>

namespace pe {

int Image::SectionOf(uint32_t rva) const {
    for (size_t i = 0; i < sections.size(); ++i) {
        const Section& s = sections[i];
        uint32_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// ---- resource keys ----

ResourceKey ResourceKey::Name(const char* ascii) {
    ResourceKey key{true, 0, {}};
    for (const char* c = ascii; *c != '\0'; ++c) {
        key.name.push_back(static_cast<char16_t>(static_cast<unsigned char>(*c)));
    }
    return key;
}

std::string ResourceKey::Describe() const {
    if (!named) {
        return std::to_string(id);
    }
    std::string text = "\"";
    for (char16_t c : name) {
        text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return text + "\"";
}

bool operator<(const ResourceKey& a, const ResourceKey& b) {
    if (a.named != b.named) {
        return a.named;
    }
    return a.named ? a.name < b.name : a.id < b.id;
}

bool operator==(const ResourceKey& a, const ResourceKey& b) {
    return a.named == b.named && (a.named ? a.name == b.name : a.id == b.id);
}

}  // namespace pe
