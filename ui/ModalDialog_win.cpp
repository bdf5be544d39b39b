// The one dialog procedure of the setup: it keeps the handler and the context at WM_INITDIALOG
// and hands every later message to the handler.
#include "ui/ModalDialog_win.h"

#include "records/SetupState.h"

namespace {

// What the dialog keeps in DWLP_USER. It lives on RunModalDialog's stack, which outlasts the
// dialog: DialogBoxParamA returns only after the dialog is gone.
struct RunningDialog {
    DialogHandler handler;
    DialogContext* context;
};

INT_PTR CALLBACK ModalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    }
    auto* running = reinterpret_cast<RunningDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    // Messages before WM_INITDIALOG (the font, the frame) keep the default handling.
    if (running == nullptr) {
        return FALSE;
    }
    return running->handler(dialog, message, wParam, lParam, *running->context);
}

}  // namespace

int RunModalDialog(const char* templateName, DialogHandler handler, DialogContext& context) {
    RunningDialog running = {handler, &context};
    return static_cast<int>(DialogBoxParamA(static_cast<HINSTANCE>(context.state->instance),
                                            templateName, static_cast<HWND>(context.state->owner),
                                            ModalDialogProc, reinterpret_cast<LPARAM>(&running)));
}
