// Making an installed font known: to the running session at once, to the running programs by a
// message, and to later sessions through the system's list of fonts (the registry, written by
// the caller).
#pragma once

class Fonts {
public:
    virtual ~Fonts() = default;
    // Loads the font file into the session (AddFontResource). Returns the number of fonts the
    // file added, 0 when it added none.
    virtual int AddFont(const char* path) = 0;
    // Tells the top-level windows that the fonts changed (WM_FONTCHANGE), passing over any window
    // that does not answer: never waits long on another program.
    virtual void AnnounceFontChange() = 0;
};
