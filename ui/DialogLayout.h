// Placement arithmetic of the setup's dialogs: centring over a parent and the rectangles of the
// license dialog's painted buttons. Pure integers, so that it runs and is tested anywhere.
#pragma once

#include <cstdint>

// A rectangle as the platform gives it: left and top inclusive, right and bottom the edges.
struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct PixelPoint {
    int x;
    int y;
};

// Where a window of outer rectangle `window` goes to sit centred over `parent` (both in screen
// coordinates). Each half is a signed division truncating toward zero, so a window wider than
// its parent by 5 pixels starts 2 pixels, not 3, left of it.
PixelPoint CenterPosition(const PixelRect& window, const PixelRect& parent);

// The caption and frame of the license dialog are taken as a fixed 23 pixels high; nothing is
// taken off horizontally for the frame.
constexpr int kPaintedButtonTopOffset = 23;

// The painted rectangle of a hidden button in the dialog's client coordinates, from the outer
// rectangles of the dialog and the button (screen coordinates). Painting and hit testing use
// the same rule, so what is drawn and what reacts to the mouse coincide.
PixelRect PaintedButtonRect(const PixelRect& dialogWindow, const PixelRect& buttonWindow);

// True when the point lies in the rectangle, all four edges included.
bool HitPaintedRect(const PixelRect& painted, int x, int y);

// The client point of a mouse message: x in the low 16 bits, y in the high 16 bits, each taken
// as an unsigned number.
PixelPoint MousePointFromParam(uint32_t param);
