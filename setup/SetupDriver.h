// The setup's only control flow above the dialogs: the stages in their fixed order.
#pragma once

struct Platform;
struct SetupState;
class SetupStages;

// Runs the whole setup. The process exit code: always 0, whatever the outcome.
int RunSetup(SetupState& state, Platform& platform, SetupStages& stages);
