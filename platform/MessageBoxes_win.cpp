#include <windows.h>

#include "platform/MessageBoxes.h"
#include "platform/Win32Adapters.h"

namespace {

class Win32MessageBoxImpl : public MessageBoxes {
public:
    int Show(WindowHandle owner, const char* text, const char* caption, unsigned type) override {
        return MessageBoxA(static_cast<HWND>(owner), text, caption, type);
    }
};

}  // namespace

MessageBoxes& Win32MessageBoxes() {
    static Win32MessageBoxImpl boxes;
    return boxes;
}
