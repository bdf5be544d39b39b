// The license dialog: the agreement in the current language with two flat buttons that the
// dialog paints itself where its hidden buttons 1 and 2 lie.
#include "ui/LicenseDialog_win.h"

#include <richedit.h>

#include <cstring>

#include "package/LocalizedTexts.h"
#include "platform/Scoped_win.h"
#include "resources/ResourceIds.h"
#include "records/SetupConfiguration.h"
#include "records/SetupState.h"
#include "records/StringKeys.h"
#include "ui/DialogLayout.h"
#include "ui/DialogUtilities_win.h"
#include "ui/FlatButton.h"
#include "ui/LicenseButtons.h"

namespace {

// Process-wide, as the dialog runs once per setup: the background brush and the two flags.
ScopedBrush gLicenseBrush;
LicenseButtons gLicenseButtons;

const char* const kAcceptKey = keys::kSetupLicenseAgreementAccept;
const char* const kDeclineKey = keys::kSetupLicenseAgreementDontAccept;

PixelRect PaintedRectOf(HWND dialog, int buttonId) {
    return PaintedButtonRect(OuterRect(dialog), OuterRect(GetDlgItem(dialog, buttonId)));
}

// Draws the lines of one colour with one pen, created for them and destroyed after them.
void DrawEdgeLines(HDC dc, const FlatButtonDrawing& drawing) {
    int i = 0;
    while (i < drawing.lineCount) {
        uint32_t colour = drawing.lines[i].colour;
        ScopedPen pen(CreatePen(PS_SOLID, 1, colour));
        ScopedSelectObject selected(dc, pen);
        for (; i < drawing.lineCount && drawing.lines[i].colour == colour; ++i) {
            const EdgeLine& line = drawing.lines[i];
            MoveToEx(dc, line.from.x, line.from.y, nullptr);
            LineTo(dc, line.to.x, line.to.y);
        }
    }
}

void OnInit(HWND dialog, DialogContext& context) {
    CenterOverParent(dialog);
    ShowLanguageDocument(dialog, DocumentKind::kLicenseAgreement, context);
    // A second run of the dialog in one process replaces the brush instead of leaking it.
    gLicenseBrush.Reset(CreateSolidBrush(kLicenseBackground));
    SendDlgItemMessageA(dialog, kIdcDocument, EM_SETBKGNDCOLOR, 0, kLicenseBackground);
    StringTable& strings = context.state->strings;
    SetDlgItemTextA(dialog, kIdcAccept, LookupString(strings, kAcceptKey));
    SetDlgItemTextA(dialog, kIdcDecline, LookupString(strings, kDeclineKey));
    SetWindowTextA(dialog, LookupString(strings, keys::kSetupCaption));
    gLicenseButtons = {};
}

BOOL OnEraseBackground(HWND dialog, HDC dc, DialogContext& context) {
    if (dc == nullptr) {
        return FALSE;
    }
    StringTable& strings = context.state->strings;
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

INT_PTR LicenseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                          DialogContext& context) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog, context);
            return TRUE;
        case WM_ERASEBKGND: {
            BOOL erased = OnEraseBackground(dialog, reinterpret_cast<HDC>(wParam), context);
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

}  // namespace

int ShowLicenseDialog(DialogContext& context) {
    return RunModalDialog(kLicenseDialogTemplate, LicenseDialogProc, context);
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
    ScopedGetDC dc(dialog);
    if (dc == nullptr) {
        return 0;
    }
    // A fresh device context: the caption is measured and drawn in the system font.
    int length = static_cast<int>(strlen(caption));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, caption, length, &extent);
    FlatButtonDrawing drawing = PlanFlatButton(button, extent.cx, pressed != 0);

    ScopedSelectObject brush(dc, gLicenseBrush);
    SetBkColor(dc, kLicenseBackground);
    Rectangle(dc, drawing.face.left, drawing.face.top, drawing.face.right, drawing.face.bottom);
    DrawEdgeLines(dc, drawing);
    SetBkColor(dc, kLicenseBackground);
    TextOutA(dc, drawing.caption.x, drawing.caption.y, caption, length);
    return 1;
}

int HitFlatButton(HWND dialog, int buttonId, int x, int y) {
    return HitPaintedRect(PaintedRectOf(dialog, buttonId), x, y) ? 1 : 0;
}
