// Fonts through GDI and a broadcast that cannot hang on a program that does not answer.
#include <windows.h>

#include "platform/Fonts.h"
#include "platform/Win32Adapters.h"

namespace {

// Each top-level window gets this long to take the message; a hung one is passed over at once.
constexpr UINT kFontChangeTimeoutMs = 1000;

class Win32FontsImpl : public Fonts {
public:
    int AddFont(const char* path) override { return AddFontResourceA(path); }
    void AnnounceFontChange() override {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG,
                            kFontChangeTimeoutMs, &answer);
    }
};

}  // namespace

Fonts& Win32Fonts() {
    static Win32FontsImpl fonts;
    return fonts;
}
