// A runtime library of the product: the main program's companions in the Windows directory.
// It carries its version so that the installed copy can be told apart from older ones.
#include <windows.h>

#ifndef ZB_RUNTIME_VERSION
#error "ZB_RUNTIME_VERSION must give the library's version as 0xMMmm"
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

// High byte major, low byte minor.
extern "C" DWORD WINAPI ZbRuntimeVersion() {
    return ZB_RUNTIME_VERSION;
}
