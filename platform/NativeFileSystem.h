// The file system of a native (POSIX) build, for tests and tools. Windows paths are mapped with
// ToNativePath; the "Windows directory" is a folder chosen by the caller.
#pragma once

#include <string>

#include "platform/FileSystem.h"

class NativeFileSystem : public FileSystem {
public:
    explicit NativeFileSystem(std::string windowsFolder = "/tmp", std::string tempFolder = "/tmp")
        : windowsFolder_(std::move(windowsFolder)), tempFolder_(std::move(tempFolder)) {}

    std::unique_ptr<ReadStream> OpenRead(const char* path) override;
    std::unique_ptr<WriteStream> Create(const char* path) override;
    bool Exists(const char* path) override;
    int Delete(const char* path) override;
    int CreateFolder(const char* path) override;
    int Copy(const char* from, const char* to) override;
    size_t GetCurrentFolder(char* out, size_t size) override;
    int SetCurrentFolder(const char* path) override;
    size_t GetWindowsFolder(char* out, size_t size) override;
    size_t GetTempFolder(char* out, size_t size) override;

private:
    std::string windowsFolder_;
    std::string tempFolder_;
};
