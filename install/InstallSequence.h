// The installation that the install dialog starts when the user presses Install.
#pragma once

#include "platform/Types.h"

struct Platform;
struct SetupState;

// Plans the whole installation first (a folder whose paths would not fit is refused with a
// message and nothing written), runs the install sequence (which creates state.installFolder),
// then the shortcut step, then writes the program-list entry (a failure there leaves the
// installation complete without it). Returns 1 on success, 0 on failure: the user has been told
// by the step that failed, except when there is no memory for the plan.
int RunInstallation(SetupState& state, Platform& platform, WindowHandle installDialog);
