// Message boxes for zbpack: what the setup would show in a box becomes one line on stderr, so
// the setup's own code can run inside the tool.
#pragma once

#include "platform/MessageBoxes.h"

class ConsoleMessageBoxes : public MessageBoxes {
public:
    // Prints "prefix: caption: text" with the text's line breaks turned into spaces, and
    // answers kIdOk.
    explicit ConsoleMessageBoxes(const char* prefix) : prefix_(prefix) {}
    int Show(WindowHandle owner, const char* text, const char* caption, unsigned type) override;
    int shownCount() const { return shownCount_; }

private:
    const char* prefix_;
    int shownCount_ = 0;
};
