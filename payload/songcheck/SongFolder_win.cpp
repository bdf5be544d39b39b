// ForEachSong over FindFirstFileA.
#include "payload/songcheck/SongFolder.h"

#include <windows.h>

#include "platform/Scoped_win.h"
#include "platform/Text.h"
#include "payload/songcheck/SongList.h"

namespace songs {

int ForEachSong(const char* folder, SongVisitor visit, void* context) {
    char pattern[path::kPathSize];
    if (!path::Join(pattern, sizeof pattern, folder, "*")) {
        return -1;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : -1;
    }
    int count = 0;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            KindOf(found.cFileName) == SongKind::kNone) {
            continue;
        }
        char filePath[path::kPathSize];
        if (!path::Join(filePath, sizeof filePath, folder, found.cFileName)) {
            continue;
        }
        ++count;
        if (visit != nullptr) {
            unsigned long long size =
                (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            visit(filePath, found.cFileName, size, context);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

int ReadFileStart(const char* filePath, unsigned char* out, size_t size) {
    ScopedHandle file(CreateFileA(filePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        return -1;
    }
    DWORD read = 0;
    if (!ReadFile(file, out, static_cast<DWORD>(size), &read, nullptr)) {
        return -1;
    }
    return static_cast<int>(read);
}

}  // namespace songs
