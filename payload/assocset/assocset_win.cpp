// assocset: associates the product's song files with the installed main program for the
// current user ("/u" takes the association back). It shows no window; the exit code says
// whether every registry value was written or removed (0) or not (1).
#include <windows.h>
#include <shlobj.h>

#include "payload/common/CommandLine.h"
#include "platform/Text.h"
#include "payload/assocset/FileAssociations.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int remove = 0;
    const char* cursor = cmdline::SkipProgramName(GetCommandLineA());
    char word[16];
    int complete = 0;
    while (cmdline::NextWord(&cursor, word, sizeof word, &complete)) {
        if (complete && (text::EqualNoCase(word, "/u") || text::EqualNoCase(word, "-u"))) {
            remove = 1;
        }
    }

    int ok = 0;
    if (remove) {
        ok = assoc::UnregisterSongFiles(SystemRegistry());
    } else {
        // The program sits beside assocset itself, whatever the current directory is.
        char self[path::kPathSize];
        char folder[path::kPathSize];
        DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
        if (length > 0 && length < sizeof self && path::FolderOf(folder, sizeof folder, self)) {
            ok = assoc::RegisterSongFiles(SystemRegistry(), folder);
        }
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return ok ? 0 : 1;
}
