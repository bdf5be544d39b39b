#include "records/InstallEntries.h"

#include "records/SetupConfiguration.h"

namespace entries {

int RequiredEntries(const char** names, int capacity) {
    int count = 0;
    auto add = [&](const char* name) {
        if (count < capacity) {
            names[count++] = name;
        }
    };
    for (const Control& control : kControls) {
        add(control.file);
    }
    add(kUninstaller);
    for (const char* library : kRuntimeLibraries) {
        add(library);
    }
    add(kCompanion);
    add(kSetupConfiguration.settingsFileName);
    add(kSetupConfiguration.fontFileName);
    add(kSetupConfiguration.shortcuts.productExecutable);
    return count;
}

}  // namespace entries
