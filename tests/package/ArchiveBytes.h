// Archives built byte by byte for the tests, independently of the code under test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One record: D, H, the name in a field of H - 8 bytes (NUL-filled), then the content.
// nameField overrides the name field's bytes when given (it must have H - 8 bytes).
inline std::vector<unsigned char> RecordBytes(const std::string& name,
                                              const std::vector<unsigned char>& content,
                                              uint32_t headerLength = 264) {
    std::vector<unsigned char> out;
    auto put32 = [&out](uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<unsigned char>(value >> (8 * i)));
        }
    };
    put32(static_cast<uint32_t>(content.size()));
    put32(headerLength);
    std::vector<unsigned char> field(headerLength >= 8 ? headerLength - 8 : 0, 0);
    for (size_t i = 0; i < name.size() && i < field.size(); ++i) {
        field[i] = static_cast<unsigned char>(name[i]);
    }
    out.insert(out.end(), field.begin(), field.end());
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

inline std::vector<unsigned char> Bytes(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}

inline void Append(std::vector<unsigned char>* to, const std::vector<unsigned char>& bytes) {
    to->insert(to->end(), bytes.begin(), bytes.end());
}
