// Another product's MFC71.dll, newer than the setup's stand-in: a DLL that does nothing but carry
// a real version resource (7.10.6030.0), as the one a runtime installer leaves in the Windows
// directory.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
