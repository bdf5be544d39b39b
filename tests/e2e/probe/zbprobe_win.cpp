// A small Windows program for the end-to-end tests of the harness itself: message boxes and a
// dialog for the driver to work on, and library loads for the DLL planting checks.
//   zbprobe.exe msgbox KIND...        error-yesno, warning-ok, information-ok, question-yesno,
//                                     plain-ok; exit code: the answers' ids as decimal digits
//   zbprobe.exe dialog RESULTFILE     the dialog; its outcome goes to RESULTFILE as INI
//   zbprobe.exe where                 prints its current folder
//   zbprobe.exe load NAME             a bare LoadLibraryA, as any program would
//   zbprobe.exe load-restricted NAME  the same after the setup's DLL search restriction
//   zbprobe.exe load-system NAME      the setup's own way: restriction, then the system copy
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ProbeIds.h"
#include "driver/Report.h"
#include "platform/System.h"
#include "platform/Win32Adapters.h"

namespace {

using e2e::ReportLine;

void Print(const ReportLine& line) {
    fputs(line.Text().c_str(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

// The message text has what the setup's texts have: an accented letter (Windows-1252), line feeds
// and trailing blanks.
constexpr const char* kProbeText = "Prova \xE8 riuscita\nseconda riga   \n";

int ShowBoxes(int count, char** kinds) {
    int code = 0;
    for (int i = 0; i < count; ++i) {
        struct Kind {
            const char* name;
            UINT type;
        };
        const Kind known[] = {
            {"error-yesno", MB_YESNO | MB_ICONERROR},
            {"warning-ok", MB_OK | MB_ICONWARNING},
            {"information-ok", MB_OK | MB_ICONINFORMATION},
            {"question-yesno", MB_YESNO | MB_ICONQUESTION},
            {"plain-ok", MB_OK},
        };
        const Kind* kind = nullptr;
        for (const Kind& candidate : known) {
            if (strcmp(candidate.name, kinds[i]) == 0) {
                kind = &candidate;
            }
        }
        if (kind == nullptr) {
            return 100;
        }
        std::string caption = std::string("Probe <") + kind->name + ">";
        int answer = MessageBoxA(GetDesktopWindow(), kProbeText, caption.c_str(), kind->type);
        code = code * 10 + answer;
    }
    return code;
}

struct DialogOutcome {
    const char* resultFile;
    POINT down = {-1, -1};
    POINT up = {-1, -1};
};

void WriteOutcome(HWND dialog, const DialogOutcome& outcome, const char* command) {
    char folder[512] = "";
    GetDlgItemTextA(dialog, kProbeFolder, folder, sizeof folder);
    int radio = IsDlgButtonChecked(dialog, kProbeSecondRadio) == BST_CHECKED  ? kProbeSecondRadio
                : IsDlgButtonChecked(dialog, kProbeFirstRadio) == BST_CHECKED ? kProbeFirstRadio
                                                                              : 0;
    char text[1024];
    snprintf(text, sizeof text,
             "[PROBE]\r\ncommand=%s\r\nradio=%d\r\nfolder=%s\r\nmouse-down=%ld,%ld\r\n"
             "mouse-up=%ld,%ld\r\n",
             command, radio, folder, outcome.down.x, outcome.down.y, outcome.up.x, outcome.up.y);
    HANDLE file = CreateFileA(outcome.resultFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
        CloseHandle(file);
    }
}

INT_PTR CALLBACK ProbeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogOutcome* outcome = reinterpret_cast<DialogOutcome*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            CheckRadioButton(dialog, kProbeFirstRadio, kProbeSecondRadio, kProbeFirstRadio);
            SetDlgItemTextA(dialog, kProbeFolder, "C:\\ZarbelPC");
            SendDlgItemMessageA(dialog, kProbeProgress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
            SendDlgItemMessageA(dialog, kProbeProgress, PBM_SETPOS, 40, 0);
            return TRUE;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: {
            POINT& at = message == WM_LBUTTONDOWN ? outcome->down : outcome->up;
            at.x = static_cast<short>(LOWORD(lParam));
            at.y = static_cast<short>(HIWORD(lParam));
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                WriteOutcome(dialog, *outcome, LOWORD(wParam) == IDOK ? "ok" : "cancel");
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

std::string ModulePath(const char* name) {
    HMODULE module = GetModuleHandleA(name);
    char path[MAX_PATH] = "";
    if (module != nullptr) {
        GetModuleFileNameA(module, path, sizeof path);
    }
    return path;
}

// Creating the control proves that the library that was loaded is a working rich edit.
int CanCreateRichEdit() {
    HWND control = CreateWindowExA(0, "RICHEDIT", "", WS_POPUP, 0, 0, 40, 20, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    if (control == nullptr) {
        return 0;
    }
    DestroyWindow(control);
    return 1;
}

int Load(const char* mode, const char* name) {
    bool restrict = strcmp(mode, "load") != 0;
    if (restrict) {
        RestrictDllSearchToSystem();
    }
    long long result = 0;
    if (strcmp(mode, "load-system") == 0) {
        result = Win32System().LoadSystemLibrary(name);
    } else {
        result = LoadLibraryA(name) != nullptr ? 1 : 0;
    }
    Print(ReportLine("LOAD")
              .Add("mode", mode)
              .Add("result", result)
              .Add("module", ModulePath(name))
              .Add("richedit", CanCreateRichEdit()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && strcmp(argv[1], "msgbox") == 0) {
        return ShowBoxes(argc - 2, argv + 2);
    }
    if (argc == 3 && strcmp(argv[1], "dialog") == 0) {
        InitCommonControls();
        DialogOutcome outcome;
        outcome.resultFile = argv[2];
        return static_cast<int>(
            DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProbeDialog), nullptr,
                            ProbeDialogProc, reinterpret_cast<LPARAM>(&outcome)));
    }
    if (argc == 2 && strcmp(argv[1], "where") == 0) {
        char folder[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof folder, folder);
        Print(ReportLine("WHERE").Add("folder", folder));
        return 0;
    }
    if (argc == 3 && (strcmp(argv[1], "load") == 0 || strcmp(argv[1], "load-restricted") == 0 ||
                      strcmp(argv[1], "load-system") == 0)) {
        return Load(argv[1], argv[2]);
    }
    fprintf(stderr,
            "usage: zbprobe.exe msgbox KIND... | dialog FILE | load[-restricted|-system] NAME\n");
    return 2;
}
