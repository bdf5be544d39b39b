// The installation that the install dialog starts when the user presses Install.
#pragma once

#include "platform/Types.h"

struct Platform;
struct SetupState;

// Creates state.installFolder, runs the install sequence and, when it succeeded, the shortcut
// step. Returns 1 on success, 0 on failure (the user has been told by the step that failed).
int RunInstallation(SetupState& state, Platform& platform, WindowHandle installDialog);
