// The folders and file names that Win32 calls write into a caller's buffer, and DLLs loaded from
// the system directory by full path. Header only: the setup and the payload share it.
#pragma once

#include <windows.h>

#include "platform/Text.h"

// Completes a call that writes a path into out and returns its length (GetWindowsDirectoryA,
// GetSystemDirectoryA, GetCurrentDirectoryA, GetTempPathA, GetModuleFileNameA): such a call
// answers 0 when it fails and the size it would need, or size itself, when out is too small.
// Returns the length of a path that fits, else 0 with out empty.
inline unsigned CheckPathLength(unsigned reported, char* out, unsigned size) {
    if (reported == 0 || reported >= size) {
        if (size > 0) {
            out[0] = '\0';
        }
        return 0;
    }
    return reported;
}

// Loads fileName from the system directory by its full path, so that no DLL of that name beside
// the program or in the current directory is ever taken instead. Null when the library cannot be
// loaded or its path does not fit.
inline HMODULE LoadSystemDll(const char* fileName) {
    char path[MAX_PATH];
    char folder[MAX_PATH];
    if (CheckPathLength(GetSystemDirectoryA(folder, sizeof folder), folder, sizeof folder) == 0 ||
        !path::Join(path, sizeof path, folder, fileName)) {
        return nullptr;
    }
    return LoadLibraryA(path);
}
