// Files and folders through the Win32 API; streams through the C runtime's stdio.
#include <windows.h>

#include <cstring>

#include "platform/FileSystem.h"
#include "platform/StdioStreams.h"
#include "platform/SystemPaths_win.h"
#include "platform/Win32Adapters.h"

namespace {

class Win32FileSystem : public FileSystem {
public:
    std::unique_ptr<ReadStream> OpenRead(const char* path) override {
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return nullptr;
        }
        return OpenStdioRead(path);
    }
    std::unique_ptr<WriteStream> Create(const char* path) override {
        return CreateStdioWrite(path);
    }
    bool Exists(const char* path) override {
        return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    }
    int Delete(const char* path) override { return DeleteFileA(path) != 0; }
    int CreateFolder(const char* path) override { return CreateDirectoryA(path, nullptr) != 0; }
    int Copy(const char* from, const char* to) override { return CopyFileA(from, to, FALSE) != 0; }
    size_t GetCurrentFolder(char* out, size_t size) override {
        return CheckPathLength(GetCurrentDirectoryA(Win32BufferSize(size), out), out, size);
    }
    int SetCurrentFolder(const char* path) override { return SetCurrentDirectoryA(path) != 0; }
    size_t GetWindowsFolder(char* out, size_t size) override {
        return CheckPathLength(GetWindowsDirectoryA(out, Win32BufferSize(size)), out, size);
    }
    size_t GetTempFolder(char* out, size_t size) override {
        size_t length = CheckPathLength(GetTempPathA(Win32BufferSize(size), out), out, size);
        if (length == 0) {
            return 0;
        }
        // GetTempPathA ends the folder with a backslash; the callers add their own.
        if (length > 3 && out[length - 1] == '\\') {
            out[--length] = '\0';
        }
        return length;
    }
};

}  // namespace

FileSystem& Win32Files() {
    static Win32FileSystem files;
    return files;
}
