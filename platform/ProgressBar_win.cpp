#include <windows.h>
#include <commctrl.h>

#include "platform/ProgressBar.h"
#include "platform/Win32Adapters.h"

namespace {

class Win32ProgressBarImpl : public ProgressBar {
public:
    void SetPosition(WindowHandle dialog, int position) override {
        SendDlgItemMessageA(static_cast<HWND>(dialog), kIdcProgress, PBM_SETPOS,
                            static_cast<WPARAM>(position), 0);
    }
};

}  // namespace

ProgressBar& Win32ProgressBar() {
    static Win32ProgressBarImpl bar;
    return bar;
}
