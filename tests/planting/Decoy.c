/* A planted DLL: whatever name it is copied under, loading it leaves a marker file
   "<its file name>.loaded" in the folder named by ZB_DECOY_MARKERS. It exports nothing, so a
   program that imports it statically fails to start, which the test sees as well. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char folder[MAX_PATH];
        char module[MAX_PATH];
        char marker[2 * MAX_PATH + 16];
        DWORD length = GetEnvironmentVariableA("ZB_DECOY_MARKERS", folder, sizeof folder);
        DWORD moduleLength = GetModuleFileNameA(instance, module, sizeof module);
        if (length > 0 && length < sizeof folder && moduleLength > 0 &&
            moduleLength < sizeof module) {
            const char* name = module;
            for (const char* p = module; *p != '\0'; ++p) {
                if (*p == '\\' || *p == '/') {
                    name = p + 1;
                }
            }
            wsprintfA(marker, "%s\\%s.loaded", folder, name);
            HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, NULL);
            if (file != INVALID_HANDLE_VALUE) {
                DWORD written;
                WriteFile(file, module, moduleLength, &written, NULL);
                CloseHandle(file);
            }
        }
    }
    return TRUE;
}
