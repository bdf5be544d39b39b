// Process-level platform services the setup needs besides files and windows.
#pragma once

#include "platform/Types.h"

constexpr int kPlatformWin32Nt = 2;

class System {
public:
    virtual ~System() = default;
    virtual ModuleHandle Instance() = 0;
    virtual WindowHandle DesktopWindow() = 0;
    // The window that has the keyboard focus, or null.
    virtual WindowHandle FocusWindow() = 0;
    // Loads a library from the system directory only, never from the setup's own folder or the
    // current directory. Returns 1 when loaded.
    virtual int LoadSystemLibrary(const char* fileName) = 0;
    // The platform identifier of the version query (2 for the NT family).
    virtual int PlatformId() = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
    // Shows the wait cursor and returns the cursor shown before.
    virtual CursorHandle ShowWaitCursor() = 0;
    // Sets the cursor, such as the one ShowWaitCursor returned.
    virtual void SetCursor(CursorHandle cursor) = 0;
};
