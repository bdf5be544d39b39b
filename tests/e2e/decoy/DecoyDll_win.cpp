// A decoy RICHED32.DLL for the DLL planting tests: when any process loads it, it leaves the
// marker C:\planted-<folder>.txt, named for the folder it was loaded from, holding its full path.
// It does nothing else; a test that finds a marker has caught a planted DLL being loaded.
#include <windows.h>

#include <cstdio>
#include <cstring>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return TRUE;
    }
    char folder[MAX_PATH];
    strcpy(folder, path);
    char* slash = strrchr(folder, '\\');
    if (slash != nullptr) {
        *slash = '\0';
    }
    const char* folderName = strrchr(folder, '\\');
    folderName = folderName != nullptr ? folderName + 1 : folder;
    char marker[MAX_PATH + 32];
    snprintf(marker, sizeof marker, "C:\\planted-%s.txt", folderName);
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, path, length, &written, nullptr);
        CloseHandle(file);
    }
    return TRUE;
}
