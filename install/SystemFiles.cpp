#include "install/SystemFiles.h"

#include <cstdio>
#include <memory>
#include <new>

#include "platform/FileSystem.h"
#include "platform/FileVersions.h"
#include "platform/Fonts.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/TrueTypeName.h"
#include "records/InstallEntries.h"

namespace install {

namespace {

// The payload's entries are at most this long; a larger font file is not read.
constexpr int64_t kMaxFontBytes = 16 * 1024 * 1024;

int ReadFontName(FileSystem& files, const char* path, char* out, size_t outSize) {
    std::unique_ptr<ReadStream> file = files.OpenRead(path);
    if (!file) {
        return 0;
    }
    int64_t length = file->Length();
    if (length <= 0 || length > kMaxFontBytes) {
        return 0;
    }
    size_t size = static_cast<size_t>(length);
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size]);
    if (!bytes || file->Read(bytes.get(), size) != size) {
        return 0;
    }
    return font::FullName(bytes.get(), size, out, outSize);
}

}  // namespace

bool KeepExistingFile(FileVersion existing, FileVersion ours) {
    if (!existing.present) {
        return false;
    }
    return !ours.present || existing.value > ours.value;
}

uint32_t NextSharedCount(bool existedBefore, bool hasCount, uint32_t count) {
    uint32_t users = hasCount && count > 0 ? count : (existedBefore ? 1 : 0);
    return users == UINT32_MAX ? users : users + 1;
}

void InstallSharedFile(Platform& platform, const char* source, const char* path) {
    bool existed = platform.files->Exists(path) != 0;
    FileVersion existing = {false, 0};
    FileVersion ours = {false, 0};
    existing.present = existed && platform.versions->Read(path, &existing.value);
    ours.present = platform.versions->Read(source, &ours.value) != 0;
    if (!KeepExistingFile(existing, ours)) {
        platform.files->Copy(source, path);
    }

    uint32_t error = 0;
    uint32_t count = 0;
    bool hasCount = false;
    {
        OpenRegistryKey key(*platform.registry);
        hasCount = key.Open(RegistryRoot::kLocalMachine, entries::kSharedDllsKey, &error) &&
                   platform.registry->QueryNumber(key.key(), path, &count, &error);
    }
    OpenRegistryKey key(*platform.registry);
    if (key.Create(RegistryRoot::kLocalMachine, entries::kSharedDllsKey, &error)) {
        platform.registry->SetNumber(key.key(), path, NextSharedCount(existed, hasCount, count),
                                     &error);
    }
}

void RegisterFont(Platform& platform, const char* path, const char* fileName) {
    platform.fonts->AddFont(path);
    char fullName[font::kFullNameSize];
    char valueName[font::kFullNameSize + 16];
    if (ReadFontName(*platform.files, path, fullName, sizeof fullName) &&
        snprintf(valueName, sizeof valueName, "%s%s", fullName, entries::kTrueTypeSuffix) > 0) {
        uint32_t error = 0;
        OpenRegistryKey key(*platform.registry);
        if (key.Create(RegistryRoot::kLocalMachine, entries::kFontsKey, &error)) {
            platform.registry->SetString(key.key(), valueName, fileName, &error);
        }
    }
    platform.fonts->AnnounceFontChange();
}

}  // namespace install
