// What the setup's three dialogs share on Win32: the common controls, centring, window
// rectangles and the RTF documents. The decisions (placement, which document) are the portable
// functions of ui/.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/DialogLayout.h"
#include "ui/LanguageDocument.h"
#include "ui/ModalDialog_win.h"

// Registers the window classes of the common controls that the templates use (the install
// dialog's progress bar). Must run before the first dialog.
void RegisterDialogControls();

// The window's outer rectangle in screen coordinates.
PixelRect OuterRect(HWND window);

// Moves a top-level window so that it is centred over its parent, or over the desktop window
// when it has none. The size and the activation stay as they are.
void CenterOverParent(HWND window);

// Shows the document of the current language in control 1000 of the dialog; leaves the control
// as it is when the language has no document.
void ShowLanguageDocument(HWND dialog, DocumentKind kind, const DialogContext& context);

// Replaces the whole content of the dialog's rich edit control with the RTF document.
void StreamRtfIntoControl(HWND dialog, int controlId, const unsigned char* bytes, int32_t length);
