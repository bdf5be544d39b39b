// The install dialog's progress bar (control kIdcProgress, range 0 to 100): the steps set absolute
// positions.
#pragma once

#include "platform/Types.h"
#include "resources/ResourceIds.h"

class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    // Sends the position to control kIdcProgress of the dialog. Never called without a dialog.
    virtual void SetPosition(WindowHandle dialog, int position) = 0;
};

// A step handed no window sends nothing.
inline void SendProgress(ProgressBar& bar, WindowHandle dialog, int position) {
    if (dialog != nullptr) {
        bar.SetPosition(dialog, position);
    }
}
