// The setup's three dialogs and the pieces they share, on Win32. The decisions (placement,
// rectangles, hit tests, which document, which language) are the portable functions of ui/;
// these procedures only move values between the controls and the setup state.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/LanguageDocument.h"

struct Platform;
struct SetupState;

// What every dialog works on; handed to the dialog as its creation parameter.
struct DialogContext {
    SetupState* state;
    Platform* platform;
};

// Registers the window classes of the common controls that the templates use (the install
// dialog's progress bar). Must run before the first dialog.
void RegisterDialogControls();

// Moves a top-level window so that it is centred over its parent, or over the desktop window
// when it has none. The size and the activation stay as they are.
void CenterOverParent(HWND window);

// Shows the document of the current language in control 1000 of the dialog; leaves the control
// as it is when the language has no document.
void ShowLanguageDocument(HWND dialog, DocumentKind kind, const DialogContext& context);

// Replaces the whole content of the dialog's rich edit control with the RTF document.
void StreamRtfIntoControl(HWND dialog, int controlId, const unsigned char* bytes, int32_t length);

INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the license dialog: 1 accepted, 0 declined, -1 when the dialog cannot be created.
int ShowLicenseDialog(DialogContext& context);
INT_PTR CALLBACK LicenseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Fills the dialog's client area with the license background colour.
void PaintLicenseBackground(HDC dc, HWND dialog);
// Draws a flat button in the dialog's client area; a right of 0 means left + 80, a bottom of 0
// top + 20. Returns 1, or 0 when no device context could be obtained.
int PaintFlatButton(HWND dialog, int left, int top, int right, int bottom, const char* caption,
                    int pressed);
// 1 when the client point lies in the painted button of hidden button buttonId.
int HitFlatButton(HWND dialog, int buttonId, int x, int y);

INT_PTR CALLBACK InstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
