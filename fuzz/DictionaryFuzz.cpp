// The dictionary container on any bytes: the two tests decide, the plain file holds what the
// status says, and a container that passes is exactly the one its plain text scrambles into.
#include <cstdio>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "package/DictionaryContainer.h"
#include "platform/FileSystem.h"
#include "platform/MemoryWriteStream.h"
#include "platform/NativeFileSystem.h"

namespace {

std::string ReadWhole(const std::string& path, bool* exists) {
    std::string held;
    FILE* file = fopen(path.c_str(), "rb");
    *exists = file != nullptr;
    if (file == nullptr) {
        return held;
    }
    char block[4096];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        held.append(block, got);
    }
    fclose(file);
    return held;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzJail& jail = Jail();
    ClearWorkFolder();
    std::string container = jail.work + "/DICT.DIC";
    std::string plain = jail.work + "/TEMP.DIC";
    FILE* out = fopen(container.c_str(), "wb");
    if (out == nullptr || fwrite(data, 1, size, out) != size || fclose(out) != 0) {
        FuzzFail("cannot write the container", container);
    }

    NativeFileSystem files(jail.jail, jail.jail);
    DictionaryStatus status = DictionaryStatus::kCannotOpen;
    int result = UnscrambleDictionary(files, container.c_str(), plain.c_str(), &status);
    CheckNothingOutsideWork();

    bool plainExists = false;
    std::string text = ReadWhole(plain, &plainExists);
    bool containerExists = false;
    std::string kept = ReadWhole(container, &containerExists);
    FUZZ_CHECK(containerExists && kept == std::string(reinterpret_cast<const char*>(data), size),
               "the container must stay as it was");
    FUZZ_CHECK(result == (status == DictionaryStatus::kOk ? 1 : 0),
               DescribeDictionaryStatus(status));
    switch (status) {
        case DictionaryStatus::kOk: {
            FUZZ_CHECK(size >= kDictionaryHeaderSize && text.size() == size - kDictionaryHeaderSize,
                       std::to_string(text.size()));
            std::string scrambled;
            MemoryWriteStream<std::string> again(&scrambled);
            FUZZ_CHECK(WriteDictionaryContainer(
                           again, reinterpret_cast<const unsigned char*>(text.data()), text.size()),
                       "");
            FUZZ_CHECK(scrambled == kept, "the plain text does not scramble back");
            break;
        }
        case DictionaryStatus::kBadLength:
            FUZZ_CHECK(plainExists && text.empty(), std::to_string(text.size()));
            break;
        case DictionaryStatus::kBadChecksum:
            FUZZ_CHECK(size >= kDictionaryHeaderSize && text.size() == size - kDictionaryHeaderSize,
                       std::to_string(text.size()));
            break;
        default:
            FuzzFail("unexpected status", DescribeDictionaryStatus(status));
    }
    return 0;
}
