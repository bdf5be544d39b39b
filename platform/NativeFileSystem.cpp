#include "platform/NativeFileSystem.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/NativePath.h"
#include "platform/StdioStreams.h"

namespace {

constexpr size_t kNativePathSize = 4096;

size_t CopyOut(const std::string& text, char* out, size_t size) {
    if (size == 0 || text.size() >= size) {
        return 0;
    }
    memcpy(out, text.c_str(), text.size() + 1);
    return text.size();
}

}  // namespace

std::unique_ptr<ReadStream> NativeFileSystem::OpenRead(const char* path) {
    char native[kNativePathSize];
    if (!ToNativePath(path, native, sizeof native)) {
        return nullptr;
    }
    struct stat info;
    if (stat(native, &info) != 0 || S_ISDIR(info.st_mode)) {
        return nullptr;
    }
    return OpenStdioRead(native);
}

std::unique_ptr<WriteStream> NativeFileSystem::Create(const char* path) {
    char native[kNativePathSize];
    if (!ToNativePath(path, native, sizeof native)) {
        return nullptr;
    }
    return CreateStdioWrite(native);
}

bool NativeFileSystem::Exists(const char* path) {
    char native[kNativePathSize];
    struct stat info;
    return ToNativePath(path, native, sizeof native) && stat(native, &info) == 0;
}

int NativeFileSystem::Delete(const char* path) {
    char native[kNativePathSize];
    return ToNativePath(path, native, sizeof native) && unlink(native) == 0;
}

int NativeFileSystem::CreateFolder(const char* path) {
    char native[kNativePathSize];
    return ToNativePath(path, native, sizeof native) && mkdir(native, 0777) == 0;
}

int NativeFileSystem::Copy(const char* from, const char* to) {
    std::unique_ptr<ReadStream> in = OpenRead(from);
    if (!in) {
        return 0;
    }
    std::unique_ptr<WriteStream> out = Create(to);
    if (!out) {
        return 0;
    }
    char block[65536];
    size_t got;
    while ((got = in->Read(block, sizeof block)) > 0) {
        if (out->Write(block, got) != got) {
            out->Close();
            return 0;
        }
    }
    return out->Close();
}

size_t NativeFileSystem::GetCurrentFolder(char* out, size_t size) {
    char native[kNativePathSize];
    if (getcwd(native, sizeof native) == nullptr) {
        return 0;
    }
    return CopyOut(native, out, size);
}

int NativeFileSystem::SetCurrentFolder(const char* path) {
    char native[kNativePathSize];
    return ToNativePath(path, native, sizeof native) && chdir(native) == 0;
}

size_t NativeFileSystem::GetWindowsFolder(char* out, size_t size) {
    return CopyOut(windowsFolder_, out, size);
}

size_t NativeFileSystem::GetTempFolder(char* out, size_t size) {
    return CopyOut(tempFolder_, out, size);
}
