// Reads a compiled dialog template (the classic and the extended layout) into plain fields, so
// that tests can check what the resource compiler really produced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A name-or-ordinal field: an ordinal when `ordinal` is non-zero, else the text.
struct TemplateId {
    uint16_t ordinal = 0;
    std::string text;
};

struct TemplateControl {
    int id = 0;
    TemplateId windowClass;  // ordinals: 0x80 button, 0x81 edit, 0x82 static
    TemplateId text;
    int x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
};

struct DialogTemplate {
    bool extended = false;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    int pointSize = 0;  // 0 when the template names no font
    std::string font;
    std::vector<TemplateControl> controls;
};

// Returns false when the bytes end before the template does. Texts are taken as Latin-1.
bool ReadDialogTemplate(const unsigned char* bytes, size_t size, DialogTemplate* out);
