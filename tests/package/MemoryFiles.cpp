#include "package/MemoryFiles.h"

#include <algorithm>
#include <cstring>

size_t MemoryReadStream::Read(void* buffer, size_t size) {
    size_t count = std::min(size, bytes_.size() - offset_);
    if (count > 0) {
        memcpy(buffer, bytes_.data() + offset_, count);
    }
    offset_ += count;
    return count;
}

namespace {

class MemoryWriteStream : public WriteStream {
public:
    MemoryWriteStream(MemoryFileSystem& files, std::string path)
        : files_(files), path_(std::move(path)) {}
    size_t Write(const void* data, size_t size) override {
        files_.writeSizes.push_back(size);
        size_t count = size;
        if (files_.capacity >= 0 && static_cast<int64_t>(count) > files_.capacity) {
            count = static_cast<size_t>(files_.capacity);
        }
        if (files_.capacity >= 0) {
            files_.capacity -= static_cast<int64_t>(count);
        }
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        std::vector<unsigned char>& file = files_.files[path_];
        file.insert(file.end(), bytes, bytes + count);
        files_.bytesWritten += count;
        if (count < size) {
            failed_ = true;
        }
        return count;
    }
    int Close() override { return !failed_ && !files_.failClose; }

private:
    MemoryFileSystem& files_;
    std::string path_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<ReadStream> MemoryFileSystem::OpenRead(const char* path) {
    auto found = files.find(path);
    if (found == files.end()) {
        return nullptr;
    }
    return std::unique_ptr<ReadStream>(new MemoryReadStream(found->second));
}

std::unique_ptr<WriteStream> MemoryFileSystem::Create(const char* path) {
    if (std::find(refused.begin(), refused.end(), path) != refused.end()) {
        return nullptr;
    }
    files[path].clear();
    return std::unique_ptr<WriteStream>(new MemoryWriteStream(*this, path));
}

int MemoryFileSystem::Delete(const char* path) {
    deleted.push_back(path);
    return files.erase(path) != 0;
}

void ByteCountingProgressBar::SetPosition(WindowHandle dialog, int position) {
    dialogs.push_back(dialog);
    sent.push_back({position, files_.bytesWritten});
}
