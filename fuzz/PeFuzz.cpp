// zbpack's PE reader and writer on any bytes, as `zbpack setup build --stub` meets them: the
// image is parsed, its resources read and, when it can take them, a setup with two data
// resources is written into memory. Nothing may read outside the input, memory must stay near
// the input's size, and what the writer makes must read back with every resource in it.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "package/ResourceExtraction.h"
#include "platform/ByteOrder.h"
#include "platform/Text.h"
#include "tools/PeRead.h"
#include "tools/PeWrite.h"

namespace {

// Holds what the writer hands over; refuses to grow far past what the inputs account for.
class BoundedSink : public pe::Sink {
public:
    explicit BoundedSink(size_t limit) : limit_(limit) {}
    bool Write(const void* data, size_t size) override {
        FUZZ_CHECK(size <= limit_ - bytes.size(),
                   "the setup grows past " + std::to_string(limit_) + " bytes");
        const uint8_t* in = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), in, in + size);
        return true;
    }
    std::vector<uint8_t> bytes;

private:
    size_t limit_;
};

const char kDictionary[] = "a scrambled dictionary";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pe::Image image;
    std::string error;
    if (!pe::ParseImage(data, size, &image, &error)) {
        FUZZ_CHECK(!error.empty(), "a refusal without a reason");
        return 0;
    }
    std::vector<pe::Resource> resources;
    if (!pe::ReadResources(data, size, image, &resources, &error)) {
        FUZZ_CHECK(!error.empty(), "a refusal without a reason");
        return 0;
    }
    // Every leaf stands on its own 24 bytes of the file, and its names are bounded by it.
    FUZZ_CHECK(resources.size() * 24 <= size, std::to_string(resources.size()));
    uint64_t nameCharacters = 0;
    for (const pe::Resource& r : resources) {
        FUZZ_CHECK(r.data >= data && r.data <= data + size && r.size <= data + size - r.data,
                   r.name.Describe());
        nameCharacters += r.type.name.size() + r.name.name.size();
    }
    FUZZ_CHECK(nameCharacters <= size, std::to_string(nameCharacters));
    if (!pe::CheckRewritable(image, size, &error)) {
        return 0;
    }

    std::vector<pe::Resource> written = resources;
    const pe::ResourceKey dataType = pe::ResourceKey::Name(text::Upper(kPlainExtractType).c_str());
    written.push_back({dataType,
                       pe::ResourceKey::Name(kDictionaryResourceName),
                       1040,
                       0,
                       static_cast<uint32_t>(strlen(kDictionary)),
                       reinterpret_cast<const uint8_t*>(kDictionary),
                       {}});
    constexpr uint32_t kArchiveSize = 1000;
    written.push_back({dataType, pe::ResourceKey::Name(kArchiveResourceName), 1040, 0, kArchiveSize,
                       nullptr, [](pe::Sink& sink) {
                           std::vector<uint8_t> block(kArchiveSize, 0xA5);
                           return sink.Write(block.data(), block.size());
                       }});
    // The input, the new resources with their directory and alignment, one file alignment.
    BoundedSink sink(size + 2 * size + 64 * 1024 + kArchiveSize);
    bool ok = pe::WriteWithResources(
        data, image, written, sink,
        [&sink](uint32_t offset, uint32_t value) {
            FUZZ_CHECK(offset <= sink.bytes.size() && sink.bytes.size() - offset >= 4,
                       std::to_string(offset));
            WriteUInt32LE(&sink.bytes[offset], value);
            return true;
        },
        &error);
    if (!ok) {
        // Two resources under one type, name and language, or a setup of 2 GB or more.
        FUZZ_CHECK(!error.empty(), "a refusal without a reason");
        return 0;
    }

    // The setup reads back: same headers' checks, every resource with its bytes.
    pe::Image after;
    std::vector<pe::Resource> read;
    FUZZ_CHECK(pe::ParseImage(sink.bytes.data(), sink.bytes.size(), &after, &error), error);
    FUZZ_CHECK(pe::ReadResources(sink.bytes.data(), sink.bytes.size(), after, &read, &error),
               error);
    FUZZ_CHECK(read.size() == written.size(), std::to_string(read.size()));
    size_t found = 0;
    for (const pe::Resource& r : read) {
        if (r.type == dataType && r.name == pe::ResourceKey::Name(kArchiveResourceName)) {
            FUZZ_CHECK(
                r.size == kArchiveSize && r.data[0] == 0xA5 && r.data[kArchiveSize - 1] == 0xA5,
                "the archive's bytes");
            ++found;
        } else if (r.type == dataType && r.name == pe::ResourceKey::Name(kDictionaryResourceName)) {
            FUZZ_CHECK(r.size == strlen(kDictionary) && memcmp(r.data, kDictionary, r.size) == 0,
                       "the dictionary's bytes");
            ++found;
        }
    }
    FUZZ_CHECK(found == 2, std::to_string(found));
    return 0;
}
