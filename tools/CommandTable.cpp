#include "tools/Commands.h"

const Command kCommands[] = {
    {nullptr, nullptr, nullptr},
};
