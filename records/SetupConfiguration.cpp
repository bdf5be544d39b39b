#include "records/SetupConfiguration.h"

#include <cstddef>

#include "records/InstallEntries.h"
#include "records/SettingsFile.h"

namespace {

// The fields are plain character arrays; the names that other programs find again come from
// their owners, copied in while compiling.
template <size_t N>
constexpr void Put(char (&field)[N], const char* text) {
    for (size_t i = 0; i + 1 < N && text[i] != '\0'; ++i) {
        field[i] = text[i];
    }
}

constexpr SetupConfiguration Configuration() {
    SetupConfiguration c = {
        "",
        "C:\\ZarbelPC",
        "ZarbelPC",
        "SONGS",
        "",
        "www.zarbelpc.example",
        0,
        {
            "ZarBelPC.EXE",
            "ZarbelPC",
            {
                {"ZarbelPC.EXE", "", 1, 0, "ZarBelPC_UNINSTALL.EXE", "Rimuovi ZarbelPC"},
                {"ZarBelPC_UNINSTALL.EXE", "", 0, 1, "", ""},
            },
            "",
        },
    };
    Put(c.settingsFileName, settings::kFileName);
    Put(c.fontFileName, entries::kFontFile);
    Put(c.shortcuts.entries[0].linkName, entries::kLinkName);
    Put(c.shortcuts.entries[1].linkName, entries::kUninstallLinkName);
    Put(c.shortcuts.programsFolderName, entries::kGroupFolder);
    return c;
}

}  // namespace

constexpr SetupConfiguration kSetupConfiguration = Configuration();
