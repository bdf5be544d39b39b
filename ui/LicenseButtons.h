// The press and release handling of the license dialog's two painted buttons. The dialog does
// not capture the mouse: it sees presses and releases over its own client area only, so a
// button stays pressed after a release outside it, and a later release inside it still counts.
#pragma once

#include <cstdint>

// Each flag is 1 once a press inside its button has been registered and no release inside it
// has followed yet.
struct LicenseButtons {
    int acceptPressed;
    int declinePressed;
};

// What the dialog does after a mouse event: send up to two commands to itself, in order, and
// redraw itself (background, both buttons in their states, the controls).
struct LicenseMouseAction {
    int commands[2];
    int commandCount;
    bool redraw;
};

// A press; hitAccept and hitDecline tell whether the point lies in each painted button.
LicenseMouseAction PressLicenseButtons(LicenseButtons& buttons, bool hitAccept, bool hitDecline);
// A release; the flag of a button whose command is sent is cleared. Every release redraws.
LicenseMouseAction ReleaseLicenseButtons(LicenseButtons& buttons, bool hitAccept, bool hitDecline);

// The dialog's result for a command, or -1 for a command that it leaves alone. The whole first
// parameter is compared, so a command word with a notification part is not a command.
int LicenseCommandResult(uintptr_t commandParam);
