// The install dialog's progress bar (control 1005, range 0 to 100): the steps set absolute
// positions.
#pragma once

#include "platform/Types.h"

constexpr int kProgressControlId = 1005;

class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    // Sends the position to control 1005 of the dialog. Never called without a dialog.
    virtual void SetPosition(WindowHandle dialog, int position) = 0;
};

// A step handed no window sends nothing.
inline void SendProgress(ProgressBar& bar, WindowHandle dialog, int position) {
    if (dialog != nullptr) {
        bar.SetPosition(dialog, position);
    }
}
