// The install dialog: the installation notes, the install folder with its Change button, and the
// installation itself, which runs inside the Install command and moves the progress bar.
#include "ui/InstallDialog_win.h"

#include <commctrl.h>

#include <initializer_list>

#include "install/InstallLocation.h"
#include "install/InstallSequence.h"
#include "package/LocalizedTexts.h"
#include "resources/ResourceIds.h"
#include "records/SetupConfiguration.h"
#include "records/SetupState.h"
#include "records/StringKeys.h"
#include "ui/DialogUtilities_win.h"
#include "ui/InstallCommands.h"

namespace {

InstallDialogFlow gInstallFlow;

constexpr int kProgressRangeTop = 100;

// Buttons and the close box, all off while the installation runs.
void EnableCommands(HWND dialog, BOOL enable) {
    for (int id : {kIdcInstall, kIdcCancel, kIdcChangeFolder}) {
        EnableWindow(GetDlgItem(dialog, id), enable);
    }
    EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE,
                   MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

void OnInit(HWND dialog, DialogContext& context) {
    SetupState& state = *context.state;
    gInstallFlow = {};
    ShowLanguageDocument(dialog, DocumentKind::kInstallationNotes, context);
    // Any message about the Program Files folder comes now, before the dialog is visible.
    MakeDefaultInstallFolder(*context.platform, state.installFolder, sizeof state.installFolder);
    SetDlgItemTextA(dialog, kIdcInstallFolder, state.installFolder);
    CenterOverParent(dialog);
    SetDlgItemTextA(dialog, kIdcInstall, LookupString(state.strings, keys::kSetupInstall));
    SetDlgItemTextA(dialog, kIdcCancel, LookupString(state.strings, keys::kGlobalCancel));
    SetDlgItemTextA(dialog, kIdcChangeFolder, LookupString(state.strings, keys::kSetupChangeDir));
    SetWindowTextA(dialog, LookupString(state.strings, keys::kSetupCaption));
    SendDlgItemMessageA(dialog, kIdcProgress, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRangeTop));
    SendDlgItemMessageA(dialog, kIdcProgress, PBM_SETPOS, 0, 0);
}

void OnInstall(HWND dialog, DialogContext& context) {
    SetupState& state = *context.state;
    GetDlgItemTextA(dialog, kIdcInstallFolder, state.installFolder, kInstallFolderReadSize);
    gInstallFlow.installing = true;
    EnableCommands(dialog, FALSE);
    InstallFromDialog(state, *context.platform, dialog, RunInstallation);
    // No second attempt: the dialog ends after a failure too.
    EndDialog(dialog, 1);
}

void OnChangeFolder(HWND dialog, DialogContext& context) {
    ChangeInstallFolder(*context.state, *context.platform, dialog);
    SetDlgItemTextA(dialog, kIdcInstallFolder, context.state->installFolder);
}

INT_PTR InstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM,
                          DialogContext& context) {
    if (message == WM_INITDIALOG) {
        OnInit(dialog, context);
        return TRUE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    switch (RouteInstallCommand(gInstallFlow, LOWORD(wParam))) {
        case InstallRoute::kInstall:
            OnInstall(dialog, context);
            return TRUE;
        case InstallRoute::kCancel:
            EndDialog(dialog, 1);
            return TRUE;
        case InstallRoute::kChangeFolder:
            OnChangeFolder(dialog, context);
            return FALSE;
        case InstallRoute::kIgnore:
            return TRUE;
        case InstallRoute::kNotHandled:
            break;
    }
    return FALSE;
}

}  // namespace

int ShowInstallDialog(DialogContext& context) {
    return RunModalDialog(kInstallDialogTemplate, InstallDialogProc, context);
}
