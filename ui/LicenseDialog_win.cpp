// The license dialog: the agreement in the current language with two flat buttons that the
// dialog paints itself where its hidden buttons 1 and 2 lie.
#include <windows.h>
#include <richedit.h>

#include <cstring>

#include "package/StringTable.h"
#include "resources/ResourceIds.h"
#include "records/SetupConfiguration.h"
#include "records/SetupState.h"
#include "ui/DialogLayout.h"
#include "ui/Dialogs_win.h"
#include "ui/FlatButton.h"
#include "ui/LicenseButtons.h"

namespace {

// Process-wide, as the dialog runs once per setup: the background brush and the two flags.
HBRUSH gLicenseBrush;
LicenseButtons gLicenseButtons;

const char* const kAcceptKey = "SETUP_LICENSE_AGREEMENT_ACCEPT";
const char* const kDeclineKey = "SETUP_LICENSE_AGREEMENT_DONT_ACCEPT";

// A device context of the dialog's client area, released on every way out.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

PixelRect OuterRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

PixelRect PaintedRectOf(HWND dialog, int buttonId) {
    return PaintedButtonRect(OuterRect(dialog), OuterRect(GetDlgItem(dialog, buttonId)));
}

DialogContext& ContextOf(HWND dialog) {
    return *reinterpret_cast<DialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// Draws the lines of one colour with one pen, created for them and destroyed after them.
void DrawEdgeLines(HDC dc, const FlatButtonDrawing& drawing) {
    int i = 0;
    while (i < drawing.lineCount) {
        uint32_t colour = drawing.lines[i].colour;
        HPEN pen = CreatePen(PS_SOLID, 1, colour);
        HGDIOBJ previous = SelectObject(dc, pen);
        for (; i < drawing.lineCount && drawing.lines[i].colour == colour; ++i) {
            const EdgeLine& line = drawing.lines[i];
            MoveToEx(dc, line.from.x, line.from.y, nullptr);
            LineTo(dc, line.to.x, line.to.y);
        }
        SelectObject(dc, previous);
        DeleteObject(pen);
    }
}

void SetTextOf(HWND dialog, int controlId, const char* text) {
    SendDlgItemMessageA(dialog, controlId, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void OnInit(HWND dialog, DialogContext& context) {
    CenterOverParent(dialog);
    ShowLanguageDocument(dialog, DocumentKind::kLicenseAgreement, context);
    // A second run of the dialog in one process replaces the brush instead of leaking it.
    if (gLicenseBrush != nullptr) {
        DeleteObject(gLicenseBrush);
    }
    gLicenseBrush = CreateSolidBrush(kLicenseBackground);
    SendDlgItemMessageA(dialog, kIdcDocument, EM_SETBKGNDCOLOR, 0, kLicenseBackground);
    StringTable& strings = context.state->strings;
    SetTextOf(dialog, kIdcAccept, LookupString(strings, kAcceptKey));
    SetTextOf(dialog, kIdcDecline, LookupString(strings, kDeclineKey));
    SetWindowTextA(dialog, LookupString(strings, "SETUP_CAPTION"));
    gLicenseButtons = {};
}

BOOL OnEraseBackground(HWND dialog, HDC dc) {
    if (dc == nullptr) {
        return FALSE;
    }
    StringTable& strings = ContextOf(dialog).state->strings;
    PaintLicenseBackground(dc, dialog);
    PixelRect accept = PaintedRectOf(dialog, kIdcAccept);
    PaintFlatButton(dialog, accept.left, accept.top, accept.right, accept.bottom,
                    LookupString(strings, kAcceptKey), gLicenseButtons.acceptPressed != 0);
    PixelRect decline = PaintedRectOf(dialog, kIdcDecline);
    PaintFlatButton(dialog, decline.left, decline.top, decline.right, decline.bottom,
                    LookupString(strings, kDeclineKey), gLicenseButtons.declinePressed != 0);
    CHARRANGE start = {0, 0};
    SendDlgItemMessageA(dialog, kIdcDocument, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    return TRUE;
}

// A repaint as when the dialog is uncovered: the background with both buttons, then the
// controls over it.
void Redraw(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void OnMouse(HWND dialog, bool press, LPARAM lParam) {
    PixelPoint at = MousePointFromParam(static_cast<uint32_t>(lParam));
    bool inAccept = HitFlatButton(dialog, kIdcAccept, at.x, at.y) != 0;
    bool inDecline = HitFlatButton(dialog, kIdcDecline, at.x, at.y) != 0;
    LicenseMouseAction action = press ? PressLicenseButtons(gLicenseButtons, inAccept, inDecline)
                                      : ReleaseLicenseButtons(gLicenseButtons, inAccept, inDecline);
    for (int i = 0; i < action.commandCount; ++i) {
        SendMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(action.commands[i]), 0);
    }
    if (action.redraw) {
        Redraw(dialog);
    }
}

}  // namespace

int ShowLicenseDialog(DialogContext& context) {
    return static_cast<int>(DialogBoxParamA(static_cast<HINSTANCE>(context.state->instance),
                                            kLicenseDialogTemplate,
                                            static_cast<HWND>(context.state->owner),
                                            LicenseDialogProc, reinterpret_cast<LPARAM>(&context)));
}

INT_PTR CALLBACK LicenseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        OnInit(dialog, *reinterpret_cast<DialogContext*>(lParam));
        return TRUE;
    }
    // Messages that arrive before the initialisation have no context yet.
    if (GetWindowLongPtrA(dialog, DWLP_USER) == 0) {
        return FALSE;
    }
    switch (message) {
        case WM_ERASEBKGND: {
            BOOL erased = OnEraseBackground(dialog, reinterpret_cast<HDC>(wParam));
            // What the message itself answers: the background has been erased.
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, erased);
            return erased;
        }
        case WM_LBUTTONDOWN:
            OnMouse(dialog, true, lParam);
            return FALSE;
        case WM_LBUTTONUP:
            OnMouse(dialog, false, lParam);
            return FALSE;
        case WM_COMMAND: {
            int result = LicenseCommandResult(wParam);
            if (result < 0) {
                return FALSE;
            }
            EndDialog(dialog, result);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

void PaintLicenseBackground(HDC dc, HWND dialog) {
    RECT client = {};
    GetClientRect(dialog, &client);
    // Logical 100 x 100 stretched over the client area; the fill reaches past the bottom.
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 100, 100, nullptr);
    SetViewportExtEx(dc, client.right, client.bottom, nullptr);
    RECT fill = {0, 0, client.right, client.bottom + 30};
    FillRect(dc, &fill, gLicenseBrush);
}

int PaintFlatButton(HWND dialog, int left, int top, int right, int bottom, const char* caption,
                    int pressed) {
    PixelRect button = FlatButtonRect(left, top, right, bottom);
    WindowDc dc(dialog);
    if (dc.get() == nullptr) {
        return 0;
    }
    // A fresh device context: the caption is measured and drawn in the system font.
    int length = static_cast<int>(strlen(caption));
    SIZE extent = {};
    GetTextExtentPoint32A(dc.get(), caption, length, &extent);
    FlatButtonDrawing drawing = PlanFlatButton(button, extent.cx, pressed != 0);

    HGDIOBJ previousBrush = SelectObject(dc.get(), gLicenseBrush);
    SetBkColor(dc.get(), kLicenseBackground);
    Rectangle(dc.get(), drawing.face.left, drawing.face.top, drawing.face.right,
              drawing.face.bottom);
    DrawEdgeLines(dc.get(), drawing);
    SetBkColor(dc.get(), kLicenseBackground);
    TextOutA(dc.get(), drawing.caption.x, drawing.caption.y, caption, length);
    SelectObject(dc.get(), previousBrush);
    return 1;
}

int HitFlatButton(HWND dialog, int buttonId, int x, int y) {
    return HitPaintedRect(PaintedRectOf(dialog, buttonId), x, y);
}
