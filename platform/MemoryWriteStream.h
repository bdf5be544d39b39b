// A write stream that appends to bytes held in memory (a std::string or a vector of bytes): for
// zbpack, which builds a container before it places it, and for the tests.
#pragma once

#include "platform/FileSystem.h"

template <typename Bytes>
class MemoryWriteStream : public WriteStream {
public:
    explicit MemoryWriteStream(Bytes* out) : out_(out) {}
    size_t Write(const void* data, size_t size) override {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        out_->insert(out_->end(), bytes, bytes + size);
        return size;
    }
    int Close() override { return 1; }

private:
    Bytes* out_;
};
