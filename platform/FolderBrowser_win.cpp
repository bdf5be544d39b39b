// The folder browser SHBrowseForFolderA. Its callback only relays the two reports to
// BrowseSelection, which holds the working path and the initial-selection flag.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/FolderBrowser.h"
#include "platform/Scoped_win.h"
#include "platform/Win32Adapters.h"

namespace {

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data) {
    BrowseSelection* selection = reinterpret_cast<BrowseSelection*>(data);
    switch (message) {
        case BFFM_INITIALIZED:
            // TRUE: the second parameter is a path text. The browser may report selection
            // changes while it obeys; the flag is set only afterwards, so those are ignored.
            SendMessageA(window, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(selection->path()));
            selection->InitialSelectionRequested();
            break;
        case BFFM_SELCHANGED:
            if (selection->initialSelectionRequested()) {
                char path[MAX_PATH] = "";
                if (!SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(parameter), path)) {
                    path[0] = '\0';  // an item outside the file system
                }
                selection->SelectionChanged(path);
            }
            break;
        default:
            break;
    }
    return 0;
}

class Win32FolderBrowserImpl : public FolderBrowser {
public:
    int Browse(WindowHandle owner, const char* title, BrowseSelection& selection) override {
        char displayName[MAX_PATH] = "";  // required by the call, not used
        BROWSEINFOA info = {};
        info.hwndOwner = static_cast<HWND>(owner);
        info.pidlRoot = nullptr;  // the whole namespace from the desktop down
        info.pszDisplayName = displayName;
        info.lpszTitle = title;
        info.ulFlags = 0;
        info.lpfn = BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(&selection);
        ScopedCom com;
        LPITEMIDLIST item = SHBrowseForFolderA(&info);
        // The item only tells confirmation from cancellation; the path is the working path.
        if (item == nullptr) {
            return 0;
        }
        CoTaskMemFree(item);
        return 1;
    }
};

}  // namespace

FolderBrowser& Win32FolderBrowser() {
    static Win32FolderBrowserImpl browser;
    return browser;
}
