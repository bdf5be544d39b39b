#include "platform/StdioStreams.h"

namespace {

class StdioReadStream : public ReadStream {
public:
    explicit StdioReadStream(FILE* file) : file_(file) {}
    ~StdioReadStream() override { fclose(file_); }
    size_t Read(void* buffer, size_t size) override { return fread(buffer, 1, size, file_); }
    int64_t Length() override {
        long here = ftell(file_);
        if (fseek(file_, 0, SEEK_END) != 0) {
            return -1;
        }
        long end = ftell(file_);
        fseek(file_, here, SEEK_SET);
        return end;
    }

private:
    FILE* file_;
};

class StdioWriteStream : public WriteStream {
public:
    explicit StdioWriteStream(FILE* file) : file_(file) {}
    ~StdioWriteStream() override { Close(); }
    size_t Write(const void* data, size_t size) override {
        if (file_ == nullptr) {
            return 0;
        }
        size_t written = fwrite(data, 1, size, file_);
        if (written != size) {
            failed_ = true;
        }
        return written;
    }
    int Close() override {
        if (file_ == nullptr) {
            return failed_ ? 0 : 1;
        }
        // A full disk often shows only when the stream's buffer is flushed.
        if (fflush(file_) != 0 || ferror(file_)) {
            failed_ = true;
        }
        if (fclose(file_) != 0) {
            failed_ = true;
        }
        file_ = nullptr;
        return failed_ ? 0 : 1;
    }

private:
    FILE* file_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<ReadStream> OpenStdioRead(const char* nativePath) {
    FILE* file = fopen(nativePath, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<ReadStream>(new StdioReadStream(file));
}

std::unique_ptr<WriteStream> CreateStdioWrite(const char* nativePath) {
    FILE* file = fopen(nativePath, "wb");
    if (file == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<WriteStream>(new StdioWriteStream(file));
}
