// What the install dialog does when it opens and with its three buttons. The installation runs
// inside the Install command; the outcome reaches the driver through the setup state only.
#pragma once

#include "platform/Types.h"

struct Platform;
struct SetupState;

// The longest folder text taken from the folder box for the installation, terminator included.
constexpr int kInstallFolderReadSize = 255;

enum class InstallRoute { kInstall, kCancel, kChangeFolder, kIgnore, kNotHandled };

// The dialog's own state besides the setup state: whether an installation is running.
struct InstallDialogFlow {
    bool installing;
};

// The route of a command id. While an installation runs, Install, Cancel and Change are
// swallowed: the installation shows message boxes (some without owner), and the dialog must not
// start a second installation, end itself or browse underneath them.
InstallRoute RouteInstallCommand(const InstallDialogFlow& flow, int commandId);

// The installation the Install command runs: 1 on success, 0 on failure.
using Installation = int (*)(SetupState& state, Platform& platform, WindowHandle installDialog);

// Install: runs the installation on state.installFolder with the dialog for its progress. On
// success installCompleted becomes true; on failure the user is told that the setup was aborted.
void InstallFromDialog(SetupState& state, Platform& platform, WindowHandle dialog,
                       Installation installation);

// Change: lets the user browse from the current folder, then normalises the folder text, also
// when the browse was cancelled.
void ChangeInstallFolder(SetupState& state, Platform& platform, WindowHandle dialog);
