// The setup's entry point on Windows: wires the Win32 adapters to the portable driver.
#include <windows.h>

#include "platform/Platform.h"
#include "platform/Win32Adapters.h"
#include "setup/SetupDriver.h"
#include "records/SetupState.h"
#include "ui/SetupDialogs_win.h"

namespace {

SetupState gSetupState;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();
    InitSetupState(gSetupState);

    // The setup reads only its own module; the store lives as long as the run.
    Win32ResourceStore resources(instance);
    Platform platform;
    platform.system = &Win32System();
    platform.messages = &Win32MessageBoxes();
    platform.profile = &Win32Profile();
    platform.resources = &resources;
    platform.files = &Win32Files();
    platform.progress = &Win32ProgressBar();
    platform.registry = &Win32Registry();
    platform.shell = &Win32Shell();
    platform.links = &Win32ShellLinks();
    platform.browser = &Win32FolderBrowser();
    platform.fonts = &Win32Fonts();
    platform.versions = &Win32FileVersions();

    DialogStages stages(gSetupState, platform);
    return RunSetup(gSetupState, platform, stages);
}
