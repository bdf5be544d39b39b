#include "tools/Commands.h"

int RunArchiveCommand(int argc, char** argv);
int RunDictCommand(int argc, char** argv);
int RunSetupCommand(int argc, char** argv);
int RunStringsCommand(int argc, char** argv);

const Command kCommands[] = {
    {"archive", "build, list, verify and unpack the payload archive", RunArchiveCommand},
    {"dict", "build, unpack or check the dictionary (DICT.DIC)", RunDictCommand},
    {"setup", "write a setup from the prebuilt stub, a payload and a dictionary", RunSetupCommand},
    {"strings", "show the string table the setup loads from a dictionary", RunStringsCommand},
    {nullptr, nullptr, nullptr},
};
