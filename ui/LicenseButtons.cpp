#include "ui/LicenseButtons.h"

#include "resources/ResourceIds.h"

LicenseMouseAction PressLicenseButtons(LicenseButtons& buttons, bool hitAccept, bool hitDecline) {
    LicenseMouseAction action = {};
    if (hitAccept && buttons.acceptPressed == 0) {
        buttons.acceptPressed = 1;
        action.redraw = true;
    }
    if (hitDecline && buttons.declinePressed == 0) {
        buttons.declinePressed = 1;
        action.redraw = true;
    }
    return action;
}

LicenseMouseAction ReleaseLicenseButtons(LicenseButtons& buttons, bool hitAccept, bool hitDecline) {
    LicenseMouseAction action = {};
    if (hitAccept && buttons.acceptPressed != 0) {
        action.commands[action.commandCount++] = kIdcAccept;
        buttons.acceptPressed = 0;
    }
    if (hitDecline && buttons.declinePressed != 0) {
        action.commands[action.commandCount++] = kIdcDecline;
        buttons.declinePressed = 0;
    }
    action.redraw = true;
    return action;
}

int LicenseCommandResult(uintptr_t commandParam) {
    if (commandParam == kIdcAccept) {
        return 1;
    }
    if (commandParam == kIdcDecline) {
        return 0;
    }
    return -1;
}
