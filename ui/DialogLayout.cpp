#include "ui/DialogLayout.h"

PixelPoint CenterPosition(const PixelRect& window, const PixelRect& parent) {
    int parentWidth = parent.right - parent.left;
    int parentHeight = parent.bottom - parent.top;
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    // C++ integer division truncates toward zero, which is the rule wanted here.
    return {parent.left + (parentWidth - width) / 2, parent.top + (parentHeight - height) / 2};
}

PixelRect PaintedButtonRect(const PixelRect& dialogWindow, const PixelRect& buttonWindow) {
    return {buttonWindow.left - dialogWindow.left,
            buttonWindow.top - dialogWindow.top - kPaintedButtonTopOffset,
            buttonWindow.right - dialogWindow.left,
            buttonWindow.bottom - dialogWindow.top - kPaintedButtonTopOffset};
}

bool HitPaintedRect(const PixelRect& painted, int x, int y) {
    return painted.left <= x && x <= painted.right && painted.top <= y && y <= painted.bottom;
}

PixelPoint MousePointFromParam(uint32_t param) {
    return {static_cast<int>(param & 0xFFFFu), static_cast<int>((param >> 16) & 0xFFFFu)};
}
