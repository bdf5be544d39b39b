// How the license dialog draws its flat buttons: the face, the edge lines of each state and the
// caption's place, as plain coordinates that the Win32 painter carries out in order.
#pragma once

#include <cstdint>

#include "ui/DialogLayout.h"

// Colour of the license dialog's background, the document's background, the buttons' face and
// the captions' background: red 207, green 207, blue 223 (a COLORREF).
constexpr uint32_t kLicenseBackground = 0x00DFCFCF;
constexpr uint32_t kEdgeWhite = 0x00FFFFFF;
constexpr uint32_t kEdgeBlack = 0x00000000;

// A right edge of 0 stands for left + 80, a bottom edge of 0 for top + 20.
constexpr int kFlatButtonDefaultWidth = 80;
constexpr int kFlatButtonDefaultHeight = 20;

// One line: a move to `from`, a line to `to` (the end point itself is not drawn).
struct EdgeLine {
    uint32_t colour;
    PixelPoint from;
    PixelPoint to;
};

constexpr int kMaxEdgeLines = 8;

struct FlatButtonDrawing {
    PixelRect face;  // drawn as a rectangle with the default pen and the background brush
    EdgeLine lines[kMaxEdgeLines];
    int lineCount;
    PixelPoint caption;  // where the caption's text starts
};

// Applies the defaults for a right or bottom edge of 0.
PixelRect FlatButtonRect(int left, int top, int right, int bottom);

// The caption's left edge: 0.4 of its width left of the button's middle, truncated toward zero,
// so the caption sits a little right of centre. The same pixel on every build.
int FlatButtonCaptionX(const PixelRect& button, int captionWidth);

// Everything to draw for a button in the given state. Lines of one colour come together, so
// the painter needs one pen per run of equal colours.
FlatButtonDrawing PlanFlatButton(const PixelRect& button, int captionWidth, bool pressed);
