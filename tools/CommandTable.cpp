#include "tools/Commands.h"

int RunArchiveCommand(int argc, char** argv);

const Command kCommands[] = {
    {"archive", "build, list, verify and unpack the payload archive", RunArchiveCommand},
    {nullptr, nullptr, nullptr},
};
