// A file system held in memory for the package tests: it counts every byte written so that a
// progress notification can be tied to the byte count at which it was sent, and it can play a
// full disk.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/ProgressBar.h"

// Reads a block of memory; the archive reader and the tools take any ReadStream.
class MemoryReadStream : public ReadStream {
public:
    explicit MemoryReadStream(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
    size_t Read(void* buffer, size_t size) override;
    int64_t Length() override { return static_cast<int64_t>(bytes_.size()); }

private:
    std::vector<unsigned char> bytes_;
    size_t offset_ = 0;
};

class MemoryFileSystem : public FileSystem {
public:
    std::unique_ptr<ReadStream> OpenRead(const char* path) override;
    std::unique_ptr<WriteStream> Create(const char* path) override;
    bool Exists(const char* path) override { return files.count(path) != 0; }
    int Delete(const char* path) override;
    int CreateFolder(const char*) override { return 0; }
    int Copy(const char*, const char*) override { return 0; }
    size_t GetCurrentFolder(char*, size_t) override { return 0; }
    int SetCurrentFolder(const char*) override { return 0; }
    size_t GetWindowsFolder(char*, size_t) override { return 0; }
    size_t GetTempFolder(char*, size_t) override { return 0; }

    std::map<std::string, std::vector<unsigned char>> files;
    std::vector<std::string> deleted;
    // Files that cannot be created, as by a locked file or a read-only folder.
    std::vector<std::string> refused;
    // Bytes the disk still takes; writes beyond it are cut short. Negative: no limit.
    int64_t capacity = -1;
    // When set, Close reports a failure although every write went through (a failed flush).
    bool failClose = false;
    // Every byte accepted by any write so far.
    uint64_t bytesWritten = 0;
    // The size of each Write call, in order.
    std::vector<size_t> writeSizes;
};

// Records each position together with the file system's byte count when it was sent.
class ByteCountingProgressBar : public ProgressBar {
public:
    explicit ByteCountingProgressBar(const MemoryFileSystem& files) : files_(files) {}
    void SetPosition(WindowHandle dialog, int position) override;

    struct Notification {
        int position;
        uint64_t byteCount;
        bool operator==(const Notification& other) const {
            return position == other.position && byteCount == other.byteCount;
        }
    };
    std::vector<Notification> sent;
    std::vector<WindowHandle> dialogs;

private:
    const MemoryFileSystem& files_;
};
