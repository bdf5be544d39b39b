#include "ui/FlatButton.h"

namespace {

void AddLine(FlatButtonDrawing& drawing, uint32_t colour, int x1, int y1, int x2, int y2) {
    drawing.lines[drawing.lineCount++] = {colour, {x1, y1}, {x2, y2}};
}

}  // namespace

PixelRect FlatButtonRect(int left, int top, int right, int bottom) {
    if (right == 0) {
        right = left + kFlatButtonDefaultWidth;
    }
    if (bottom == 0) {
        bottom = top + kFlatButtonDefaultHeight;
    }
    return {left, top, right, bottom};
}

int FlatButtonCaptionX(const PixelRect& button, int captionWidth) {
    int middle = (button.left + button.right) / 2;
    // middle - 0.4 * width, truncated toward zero, in integers: in floating point the i686
    // build's x87 keeps 0.8's excess precision and 70 - 20.000000000000001 truncates to 49.
    return (5 * middle - 2 * captionWidth) / 5;
}

FlatButtonDrawing PlanFlatButton(const PixelRect& button, int captionWidth, bool pressed) {
    const int l = button.left;
    const int t = button.top;
    const int r = button.right;
    const int b = button.bottom;
    FlatButtonDrawing drawing = {};
    drawing.face = {l + 1, t + 1, r + 1, b + 1};
    int x = FlatButtonCaptionX(button, captionWidth);
    if (pressed) {
        // Outlined in black with a double edge at the top and left; the caption moves one pixel
        // right and down.
        AddLine(drawing, kEdgeBlack, l, t, r, t);
        AddLine(drawing, kEdgeBlack, l, t + 1, r - 1, t + 1);
        AddLine(drawing, kEdgeBlack, l, t, l, b + 1);
        AddLine(drawing, kEdgeBlack, l + 1, t, l + 1, b);
        AddLine(drawing, kEdgeBlack, r, b, r, t - 1);
        AddLine(drawing, kEdgeBlack, r, b, l, b);
        drawing.caption = {x + 1, t + 7};
    } else {
        // Double white edge at the top and left, double black edge at the right and bottom.
        AddLine(drawing, kEdgeWhite, l, t, r + 1, t);
        AddLine(drawing, kEdgeWhite, l, t + 1, r + 2, t + 1);
        AddLine(drawing, kEdgeWhite, l, t, l, b + 1);
        AddLine(drawing, kEdgeWhite, l + 1, t, l + 1, b);
        AddLine(drawing, kEdgeBlack, r, b, r, t);
        AddLine(drawing, kEdgeBlack, r - 1, b, r - 1, t + 1);
        AddLine(drawing, kEdgeBlack, r, b, l + 1, b);
        AddLine(drawing, kEdgeBlack, r, b - 1, l + 2, b - 1);
        drawing.caption = {x, t + 6};
    }
    return drawing;
}
