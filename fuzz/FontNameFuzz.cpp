// The font name reader on any bytes, as a replaced font file in the payload could hold: it reads
// nothing outside the data, writes nothing outside its buffer, and a name it gives is one the
// registry can list (printable Windows-1252, terminated, not empty).
#include <cstring>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/TrueTypeName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact copy, so that the sanitizer sees a read one byte past the end.
    std::vector<uint8_t> font(data, data + size);
    for (size_t outSize : {font::kFullNameSize, static_cast<size_t>(8), static_cast<size_t>(1)}) {
        std::vector<char> out(outSize + 4, '\x7f');
        int found = font::FullName(font.data(), font.size(), out.data(), outSize);
        FUZZ_CHECK(out[outSize] == '\x7f', "the name ran past its buffer");
        FUZZ_CHECK(memchr(out.data(), '\0', outSize) != nullptr, "the name is not terminated");
        size_t length = strlen(out.data());
        FUZZ_CHECK(found ? length > 0 : length == 0, out.data());
        for (size_t i = 0; i < length; ++i) {
            unsigned char c = static_cast<unsigned char>(out[i]);
            FUZZ_CHECK(c >= 0x20 && (c < 0x7F || c >= 0xA0), out.data());
        }
    }
    return 0;
}
