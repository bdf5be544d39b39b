// Dictionaries for tests: containers built from small texts, and a file system that places the
// current and temporary folders where a test wants them and can refuse writes to one folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

// The container of a plain dictionary text, as zbpack builds it.
std::vector<unsigned char> MakeDictionaryContainer(const std::string& text);

// Two keys in ITALIANO and ENGLISH, enough for the driver's completion message.
extern const char kSmallDictionary[];

class WorkFolderFiles : public FileSystem {
public:
    explicit WorkFolderFiles(std::unique_ptr<FileSystem> real) : real_(std::move(real)) {}

    std::unique_ptr<ReadStream> OpenRead(const char* path) override {
        return real_->OpenRead(path);
    }
    std::unique_ptr<WriteStream> Create(const char* path) override;
    bool Exists(const char* path) override { return real_->Exists(path); }
    int Delete(const char* path) override;
    int CreateFolder(const char* path) override;
    int Copy(const char* from, const char* to) override;
    size_t GetCurrentFolder(char* out, size_t size) override;
    int SetCurrentFolder(const char* path) override { return real_->SetCurrentFolder(path); }
    size_t GetWindowsFolder(char* out, size_t size) override {
        return real_->GetWindowsFolder(out, size);
    }
    size_t GetTempFolder(char* out, size_t size) override;

    std::string currentFolder;         // what GetCurrentFolder reports
    std::string tempFolder;            // what GetTempFolder reports
    std::string readOnlyFolder;        // files directly in it cannot be created or deleted
    std::vector<std::string> created;  // every path Create was asked for

private:
    bool InReadOnlyFolder(const char* path) const;
    std::unique_ptr<FileSystem> real_;
};
