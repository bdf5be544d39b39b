#include "doubles/Scratch.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/NativePath.h"

#ifdef _WIN32
#include <direct.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

std::string Native(const std::string& path) {
    std::string out(path.size() + 1, '\0');
    ToNativePath(path.c_str(), &out[0], out.size());
    out.resize(path.size());
    return out;
}

void RemoveTree(const std::string& native) {
#ifdef _WIN32
    std::string command = "rmdir /s /q \"" + native + "\" >NUL 2>NUL";
#else
    std::string command = "rm -rf '" + native + "'";
#endif
    if (system(command.c_str()) != 0) {
        // A folder that cannot be removed stays behind in the temporary folder; nothing to do.
    }
}

}  // namespace

ScratchFolder::ScratchFolder() {
    static int counter = 0;
#ifdef _WIN32
    const char* temp = getenv("TEMP");
    std::string base = temp != nullptr ? temp : "C:\\windows\\temp";
    if (!base.empty() && base.back() == '\\') {
        base.pop_back();
    }
    for (;;) {
        path_ = base + "\\zbtest-" + std::to_string(_getpid()) + "-" + std::to_string(++counter);
        if (_mkdir(path_.c_str()) == 0) {
            break;
        }
    }
#else
    char pattern[] = "/tmp/zbtest-XXXXXX";
    char* made = mkdtemp(pattern);
    path_ = made != nullptr ? made : "/tmp";
    (void)counter;
#endif
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(Native(path_));
}

bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* file = fopen(Native(path).c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

bool WriteFileText(const std::string& path, const std::string& text) {
    return WriteFileBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

bool ReadFileBytes(const std::string& path, std::vector<unsigned char>* bytes) {
    FILE* file = fopen(Native(path).c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bytes->clear();
    unsigned char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        bytes->insert(bytes->end(), block, block + got);
    }
    fclose(file);
    return true;
}

std::string ReadFileText(const std::string& path) {
    std::vector<unsigned char> bytes;
    ReadFileBytes(path, &bytes);
    return std::string(bytes.begin(), bytes.end());
}

bool FileExists(const std::string& path) {
    FILE* file = fopen(Native(path).c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    fclose(file);
    return true;
}
