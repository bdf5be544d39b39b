// Program starts through ShellExecuteA and the system directory.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "platform/Shell.h"
#include "platform/SystemPaths_win.h"
#include "platform/Win32Adapters.h"

namespace {

class Win32ShellImpl : public Shell {
public:
    int OpenHidden(WindowHandle owner, const char* file, const char* parameters) override {
        HINSTANCE result =
            ShellExecuteA(static_cast<HWND>(owner), "open", file, parameters, nullptr, SW_HIDE);
        // Values above 32 mean success; the rest are error codes.
        return reinterpret_cast<intptr_t>(result) > 32;
    }
    size_t GetSystemFolder(char* out, size_t size) override {
        return CheckPathLength(GetSystemDirectoryA(out, Win32BufferSize(size)), out, size);
    }
};

}  // namespace

Shell& Win32Shell() {
    static Win32ShellImpl shell;
    return shell;
}
