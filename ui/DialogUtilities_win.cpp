// Centring and the RTF documents, shared by the three dialogs.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "platform/Platform.h"
#include "platform/SystemPaths_win.h"
#include "resources/ResourceIds.h"
#include "records/SetupState.h"
#include "ui/DialogUtilities_win.h"
#include "ui/RtfStream.h"

namespace {

// The control's stream descriptor; filled afresh for every stream.
EDITSTREAM gEditStream;

DWORD CALLBACK RtfStreamCallback(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* count) {
    int32_t delivered = 0;
    uint32_t stop = ReadRtfChunk(cookie, buffer, requested, &delivered);
    if (stop == 0) {
        *count = delivered;
    }
    return stop;
}

}  // namespace

PixelRect OuterRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void RegisterDialogControls() {
    // The common controls library is not imported: an imported DLL that is not one of the
    // system's known DLLs would be searched beside the setup first, before any code of ours
    // runs, and a COMCTL32.DLL planted in a downloads folder would be loaded. So it is loaded
    // here, by its full path in the system directory.
    HMODULE library = LoadSystemDll("COMCTL32.DLL");
    if (library == nullptr) {
        return;
    }
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    if (init != nullptr) {
        INITCOMMONCONTROLSEX controls = {};
        controls.dwSize = sizeof controls;
        controls.dwICC = ICC_PROGRESS_CLASS;
        init(&controls);
    }
}

void CenterOverParent(HWND window) {
    HWND parent = GetParent(window);
    if (parent == nullptr) {
        parent = GetDesktopWindow();
    }
    PixelPoint at = CenterPosition(OuterRect(window), OuterRect(parent));
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void ShowLanguageDocument(HWND dialog, DocumentKind kind, const DialogContext& context) {
    ResourceBlock document = {};
    if (!FindLanguageDocument(*context.platform->resources, context.state->language, kind,
                              &document)) {
        return;
    }
    StreamRtfIntoControl(dialog, kIdcDocument, document.data, static_cast<int32_t>(document.size));
}

void StreamRtfIntoControl(HWND dialog, int controlId, const unsigned char* bytes, int32_t length) {
    BeginRtfStream(bytes, length);
    gEditStream.dwCookie = kRtfStreamCookie;
    gEditStream.dwError = 0;
    gEditStream.pfnCallback = RtfStreamCallback;
    SendMessageA(GetDlgItem(dialog, controlId), EM_STREAMIN, SF_RTF,
                 reinterpret_cast<LPARAM>(&gEditStream));
}
