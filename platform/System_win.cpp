// Process-level services through the Win32 API: the module, windows, cursors, the version query
// and where DLLs are searched.
#include <windows.h>

#include "platform/System.h"
#include "platform/SystemPaths_win.h"
#include "platform/Win32Adapters.h"

namespace {

class Win32SystemImpl : public System {
public:
    ModuleHandle Instance() override { return GetModuleHandleA(nullptr); }
    WindowHandle DesktopWindow() override { return GetDesktopWindow(); }
    WindowHandle FocusWindow() override { return GetFocus(); }
    int LoadSystemLibrary(const char* fileName) override {
        return LoadSystemDll(fileName) != nullptr;
    }
    int PlatformId() override {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        // GetVersionExA is deprecated for version numbers, but the platform id it reports is exact.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        if (!GetVersionExA(&info)) {
            return -1;
        }
#pragma GCC diagnostic pop
        return static_cast<int>(info.dwPlatformId);
    }
    void Sleep(unsigned milliseconds) override {
        ::Sleep(milliseconds);
    }
    CursorHandle ShowWaitCursor() override {
        return ::SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    }
    void SetCursor(CursorHandle cursor) override {
        ::SetCursor(static_cast<HCURSOR>(cursor));
    }
};

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);

}  // namespace

System& Win32System() {
    static Win32SystemImpl system;
    return system;
}

void RestrictDllSearchToSystem() {
    // Windows 2000 and XP lack SetDefaultDllDirectories, older XP lacks SetDllDirectoryA too:
    // look both up instead of importing them.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) {
        return;
    }
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr && setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */)) {
        return;
    }
    auto setDllDirectory = reinterpret_cast<SetDllDirectoryFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDllDirectory != nullptr) {
        // An empty text removes the current directory from the search; the program's own
        // folder stays in it.
        setDllDirectory("");
    }
}
