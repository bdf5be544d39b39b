#include "setup/PlatformCheck.h"

#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/System.h"
#include "setup/SetupTexts.h"

void CheckPlatform(Platform& platform) {
    if (platform.system->PlatformId() == kPlatformWin32Nt) {
        return;
    }
    platform.messages->Show(platform.system->DesktopWindow(), kPlatformCheckText,
                            kPlatformCheckCaption, kMbIconWarning);
}
