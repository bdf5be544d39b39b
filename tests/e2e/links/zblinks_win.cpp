// zblinks: reads shell links through the shell's own link object (IShellLinkA), the way the
// desktop would open them, and prints one LINK report line for each link file given:
// "LINK file=<path> loaded=1 target=<path> description=<text>", or loaded=0 with the error.
// Exit code 0 when every link could be read.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "driver/Report.h"
#include "platform/Scoped_win.h"

namespace {

void Print(const e2e::ReportLine& line) {
    printf("%s\n", line.Text().c_str());
    fflush(stdout);
}

bool ReadLink(const char* file) {
    e2e::ReportLine line("LINK");
    line.Add("file", file);
    ScopedComPtr<IShellLinkA> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, link.Out());
    ScopedComPtr<IPersistFile> persist;
    if (SUCCEEDED(result)) {
        result = link->QueryInterface(IID_IPersistFile, persist.Out());
    }
    wchar_t wide[MAX_PATH];
    if (SUCCEEDED(result) && MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH) == 0) {
        result = E_INVALIDARG;
    }
    if (SUCCEEDED(result)) {
        result = persist->Load(wide, STGM_READ);
    }
    // No SLGP_ flags: the path as the link stores it, not a resolved short form.
    char target[MAX_PATH] = "";
    char description[INFOTIPSIZE] = "";
    if (SUCCEEDED(result)) {
        result = link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    }
    if (SUCCEEDED(result)) {
        result = link->GetDescription(description, INFOTIPSIZE);
    }
    if (FAILED(result)) {
        Print(line.Add("loaded", 0LL).Add("error", static_cast<long long>(result)));
        return false;
    }
    Print(line.Add("loaded", 1LL).Add("target", target).Add("description", description));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: zblinks LINK...\n");
        return 2;
    }
    ScopedCom com;
    if (FAILED(com.result())) {
        fprintf(stderr, "zblinks: CoInitialize failed\n");
        return 1;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (!ReadLink(argv[i])) {
            status = 1;
        }
    }
    return status;
}
