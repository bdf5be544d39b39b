#include "tools/ConsoleMessageBoxes.h"
#include "tools/ToolSupport.h"

#include <cstdio>
#include <string>

int ConsoleMessageBoxes::Show(WindowHandle, const char* text, const char* caption, unsigned) {
    ++shownCount_;
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    fprintf(stderr, "%s: %s: %s\n", prefix_, tool::Shown(caption).c_str(),
            tool::Shown(line).c_str());
    return kIdOk;
}
