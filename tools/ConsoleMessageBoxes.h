// Message boxes for zbpack: what the setup would show in a box becomes one line on stderr, so
// the setup's own code can run inside the tool.
#pragma once

#include "platform/MessageBoxes.h"

class ConsoleMessageBoxes : public MessageBoxes {
public:
    // How the text of a box is printed: on one line, its line breaks turned into spaces, or as
    // tool::ShownText prints it, so that it can be read back.
    enum class Text { kOneLine, kReadBack };

    // Prints "prefix: caption: text" and answers kIdOk.
    explicit ConsoleMessageBoxes(const char* prefix, Text text = Text::kOneLine)
        : prefix_(prefix), text_(text) {}
    int Show(WindowHandle owner, const char* text, const char* caption, unsigned type) override;
    int shownCount() const { return shownCount_; }

private:
    const char* prefix_;
    Text text_;
    int shownCount_ = 0;
};
