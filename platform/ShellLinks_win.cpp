// Shell links through COM: the shell link object with IShellLinkA, saved through IPersistFile.
// The HRESULTs stay in this file; callers get a LinkResult.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/Scoped_win.h"
#include "platform/ShellLinks.h"
#include "platform/Win32Adapters.h"

namespace {

LinkResult SaveLink(const char* target, const char* linkPath, const char* description) {
    ScopedComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.Out()))) {
        return LinkResult::kCannotCreate;
    }
    // A path or description the object refuses shows when the link is saved or used.
    link->SetPath(target);
    link->SetDescription(description);
    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out()))) {
        return LinkResult::kNoPersistFile;
    }
    wchar_t widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0) {
        return LinkResult::kPathTooLong;
    }
    return SUCCEEDED(file->Save(widePath, TRUE)) ? LinkResult::kSaved : LinkResult::kCannotSave;
}

class Win32ShellLinksImpl : public ShellLinks {
public:
    LinkResult CreateShellLink(const char* target, const char* linkPath,
                               const char* description) override {
        // Each link initialises COM around itself.
        ScopedCom com;
        return SaveLink(target, linkPath, description);
    }
};

}  // namespace

ShellLinks& Win32ShellLinks() {
    static Win32ShellLinksImpl links;
    return links;
}
