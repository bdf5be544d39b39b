#include "records/SetupConfiguration.h"

const SetupConfiguration kSetupConfiguration = {
    "ZarBelPC.INI",
    "C:\\ZarbelPC",
    "ZarbelPC",
    "SONGS",
    "EUROSTIB.TTF",
    "www.zarbelpc.example",
    0,
    {
        "ZarBelPC.EXE",
        "ZarbelPC",
        {
            {"ZarbelPC.EXE", "ZarbelPC.lnk", 1, 0, "ZarBelPC_UNINSTALL.EXE", "Rimuovi ZarbelPC"},
            {"ZarBelPC_UNINSTALL.EXE", "Uninstall ZarbelPC.lnk", 0, 1, "", ""},
        },
        "ZarbelPC",
    },
};
