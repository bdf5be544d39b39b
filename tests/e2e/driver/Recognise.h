// How the test driver tells what it sees: which window is a message box, which standard icon a
// message box shows, and names for the screenshots it saves. Portable, fed by the Win32 side.
#pragma once

#include <string>
#include <vector>

#include "driver/Bitmap.h"

namespace e2e {

struct ChildControl {
    std::string className;
    int id = 0;
    bool visible = false;
};

// The static control that carries a message box's text.
constexpr int kMessageTextId = 0xFFFF;

// A message box is a dialog whose controls are only statics, one of them the text (0xFFFF),
// and buttons with the standard command ids (OK 1 ... Continue 11). The setup's own dialogs have
// other controls (radio buttons 1006.., the document viewer, the folder edit, the progress bar).
bool LooksLikeMessageBox(const std::string& windowClass, const std::vector<ChildControl>& children);

// One standard icon drawn twice at the size of the captured area, over black and over white:
// where both agree the icon is opaque, elsewhere it lets the background through.
struct IconSample {
    std::string name;  // "error", "question", "warning", "information"
    Pixels overBlack;
    Pixels overWhite;
};

// The share (0..1) of the sample's opaque pixels that the capture shows in the same colour
// (each channel within a small tolerance). 0 when the sizes differ or nothing is opaque.
double IconMatch(const Pixels& captured, const IconSample& sample);

// The name of the best sample matching at least minShare of its opaque pixels, or "unknown".
std::string RecogniseIcon(const Pixels& captured, const std::vector<IconSample>& samples,
                          double minShare = 0.9);

// "03-ZarBel-PC-Setup.bmp": a running number and the title cut to letters, digits and '-'.
std::string ShotFileName(int number, const std::string& title);

}  // namespace e2e
