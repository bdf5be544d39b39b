#include "tools/ConsoleMessageBoxes.h"
#include "tools/ToolSupport.h"

#include <cstdio>
#include <string>

namespace {

// The text on one line: trailing line breaks dropped, the others turned into spaces.
std::string OneLine(const char* text) {
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return tool::Shown(line);
}

}  // namespace

int ConsoleMessageBoxes::Show(WindowHandle, const char* text, const char* caption, unsigned) {
    ++shownCount_;
    std::string shown = text_ == Text::kOneLine ? OneLine(text) : tool::ShownText(text);
    fprintf(stderr, "%s: %s: %s\n", prefix_, tool::Shown(caption).c_str(), shown.c_str());
    return kIdOk;
}
