#include "package/DictionaryContainer.h"

#include <memory>

#include "platform/ByteOrder.h"
#include "platform/FileSystem.h"

namespace {

int Finish(DictionaryStatus result, DictionaryStatus* status) {
    if (status != nullptr) {
        *status = result;
    }
    return result == DictionaryStatus::kOk ? 1 : 0;
}

}  // namespace

void ScrambleDictionaryBytes(unsigned char* data, size_t size, size_t position) {
    // The key position depends only on the byte's place in the payload and restarts at 0 for
    // every container.
    size_t k = position % kDictionaryKeyLength;
    for (size_t i = 0; i < size; ++i) {
        data[i] ^= static_cast<unsigned char>(kDictionaryKey[k]);
        if (++k == kDictionaryKeyLength) {
            k = 0;
        }
    }
}

int UnscrambleDictionary(FileSystem& files, const char* containerPath, const char* plainPath,
                         DictionaryStatus* status) {
    std::unique_ptr<ReadStream> in = files.OpenRead(containerPath);
    if (!in) {
        return Finish(DictionaryStatus::kCannotOpen, status);
    }
    std::unique_ptr<WriteStream> out = files.Create(plainPath);
    if (!out) {
        return Finish(DictionaryStatus::kCannotCreate, status);
    }

    // A container shorter than its header fails the length test too.
    int64_t length = in->Length();
    unsigned char header[kDictionaryHeaderSize];
    if (length < static_cast<int64_t>(kDictionaryHeaderSize) ||
        in->Read(header, sizeof header) != sizeof header) {
        out->Close();
        return Finish(DictionaryStatus::kBadLength, status);
    }
    uint32_t payloadLength = ReadUInt32LE(header);
    uint32_t storedSum = ReadUInt32LE(header + 4);
    if (static_cast<int64_t>(payloadLength) !=
        length - static_cast<int64_t>(kDictionaryHeaderSize)) {
        out->Close();
        return Finish(DictionaryStatus::kBadLength, status);
    }

    // The checksum is taken over the bytes as stored, before they are unscrambled.
    uint32_t sum = 0;
    uint64_t position = 0;
    bool written = true;
    unsigned char block[4096];
    size_t got;
    while ((got = in->Read(block, sizeof block)) > 0) {
        for (size_t i = 0; i < got; ++i) {
            sum += block[i];
        }
        ScrambleDictionaryBytes(block, got, static_cast<size_t>(position % kDictionaryKeyLength));
        if (out->Write(block, got) != got) {
            written = false;
        }
        position += got;
    }
    if (!out->Close()) {
        written = false;
    }
    if (position != payloadLength) {
        // The file changed length while it was read.
        return Finish(DictionaryStatus::kBadLength, status);
    }
    if (sum != storedSum) {
        return Finish(DictionaryStatus::kBadChecksum, status);
    }
    // A plain file cut short by a full disk must not pass for a good dictionary.
    return Finish(written ? DictionaryStatus::kOk : DictionaryStatus::kCannotWrite, status);
}

int WriteDictionaryContainer(WriteStream& out, const unsigned char* plain, size_t size) {
    if (size > UINT32_MAX) {
        return 0;
    }
    uint32_t sum = 0;
    unsigned char block[4096];
    for (size_t done = 0; done < size; done += sizeof block) {
        size_t count = size - done < sizeof block ? size - done : sizeof block;
        for (size_t i = 0; i < count; ++i) {
            block[i] = plain[done + i];
        }
        ScrambleDictionaryBytes(block, count, done);
        for (size_t i = 0; i < count; ++i) {
            sum += block[i];
        }
    }
    unsigned char header[kDictionaryHeaderSize];
    WriteUInt32LE(header, static_cast<uint32_t>(size));
    WriteUInt32LE(header + 4, sum);
    bool ok = out.Write(header, sizeof header) == sizeof header;
    for (size_t done = 0; ok && done < size; done += sizeof block) {
        size_t count = size - done < sizeof block ? size - done : sizeof block;
        for (size_t i = 0; i < count; ++i) {
            block[i] = plain[done + i];
        }
        ScrambleDictionaryBytes(block, count, done);
        ok = out.Write(block, count) == count;
    }
    return out.Close() && ok ? 1 : 0;
}

const char* DescribeDictionaryStatus(DictionaryStatus status) {
    switch (status) {
        case DictionaryStatus::kOk:
            return "the container is sound";
        case DictionaryStatus::kCannotOpen:
            return "the container cannot be opened";
        case DictionaryStatus::kCannotCreate:
            return "the plain file cannot be created";
        case DictionaryStatus::kBadLength:
            return "length test failed: the length field does not match the container's size "
                   "minus 8";
        case DictionaryStatus::kBadChecksum:
            return "checksum test failed: the sum of the stored payload bytes does not match the "
                   "checksum field";
        case DictionaryStatus::kCannotWrite:
            return "the plain file could not be written completely";
    }
    return "unknown";
}
