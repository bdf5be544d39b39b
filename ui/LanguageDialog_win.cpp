// The language dialog: the first dialog, before the string table exists, so its texts are the
// template's own.
#include "ui/LanguageDialog_win.h"

#include "platform/Platform.h"
#include "resources/ResourceIds.h"
#include "records/SetupConfiguration.h"
#include "ui/DialogUtilities_win.h"
#include "ui/LanguageChoice.h"

namespace {

void OnInit(HWND dialog) {
    CenterOverParent(dialog);
    // Always ITALIANO first, whatever an earlier run chose.
    for (int i = 0; i < kLanguageButtonCount; ++i) {
        SendDlgItemMessageA(dialog, kLanguageButtons[i].id, BM_SETCHECK,
                            i == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void OnOk(HWND dialog, const DialogContext& context) {
    bool checked[kLanguageButtonCount];
    for (int i = 0; i < kLanguageButtonCount; ++i) {
        // A button that the template lacks answers 0: unchecked.
        checked[i] =
            SendDlgItemMessageA(dialog, kLanguageButtons[i].id, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    ConfirmLanguageChoice(*context.state, *context.platform->profile, checked);
    EndDialog(dialog, 0);
}

INT_PTR LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM,
                           DialogContext& context) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == kIdcOk) {
                OnOk(dialog, context);
                return TRUE;
            }
            if (LOWORD(wParam) == kIdcCancel) {
                EndDialog(dialog, -1);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int ShowLanguageDialog(DialogContext& context) {
    return RunModalDialog(kLanguageDialogTemplate, LanguageDialogProc, context);
}
