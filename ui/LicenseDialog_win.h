// The license dialog: the agreement with two buttons that the dialog paints itself.
#pragma once

#include <windows.h>

#include "ui/ModalDialog_win.h"

// Runs the dialog: 1 accepted, 0 declined, -1 when the dialog cannot be created.
int ShowLicenseDialog(DialogContext& context);

// Fills the dialog's client area with the license background colour.
void PaintLicenseBackground(HDC dc, HWND dialog);
// Draws a flat button in the dialog's client area; a right of 0 means left + 80, a bottom of 0
// top + 20. Returns 1, or 0 when no device context could be obtained.
int PaintFlatButton(HWND dialog, int left, int top, int right, int bottom, const char* caption,
                    int pressed);
// 1 when the client point lies in the painted button of hidden button buttonId.
int HitFlatButton(HWND dialog, int buttonId, int x, int y);
