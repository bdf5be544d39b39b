#include "records/InstallEntries.h"

#include "records/SetupConfiguration.h"

namespace entries {

int RequiredEntries(const char** names, int capacity) {
    const char* all[kRequiredCount];
    int count = 0;
    for (const Control& control : kControls) {
        all[count++] = control.file;
    }
    all[count++] = kUninstaller;
    for (const char* library : kRuntimeLibraries) {
        all[count++] = library;
    }
    all[count++] = kCompanion;
    all[count++] = kSetupConfiguration.settingsFileName;
    all[count++] = kSetupConfiguration.fontFileName;
    all[count++] = kSetupConfiguration.shortcuts.productExecutable;
    int filled = 0;
    for (; filled < count && filled < capacity; ++filled) {
        names[filled] = all[filled];
    }
    return filled;
}

}  // namespace entries
