// The folders and file names that Win32 calls write into a caller's buffer, the buffer sizes
// those calls take, and DLLs loaded from the system directory by full path. Header only: the
// setup and the payload share it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>

#include "platform/Text.h"

// A buffer's size as the DWORD a Win32 call takes: a buffer larger than a DWORD can count is
// offered as its first MAXDWORD bytes, never as the smaller number a plain cast would make.
inline DWORD Win32BufferSize(size_t size) {
    return static_cast<DWORD>(std::min<size_t>(size, MAXDWORD));
}

// Completes a call that writes a path into out and returns its length (GetWindowsDirectoryA,
// GetSystemDirectoryA, GetCurrentDirectoryA, GetTempPathA, GetModuleFileNameA): such a call
// answers 0 when it fails and the size it would need, or size itself, when out is too small.
// Returns the length of a path that fits, else 0 with out empty.
inline size_t CheckPathLength(DWORD reported, char* out, size_t size) {
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
