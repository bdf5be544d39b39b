// The sub-commands of zbpack. Exit status for every command: 0 success, 1 the data is damaged or
// the operation failed, 2 wrong usage or refused input.
#pragma once

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Command {
    const char* name;
    const char* summary;
    // argv[0] is the command's own name.
    int (*run)(int argc, char** argv);
};

// The commands zbpack knows, ending with an entry whose name is null.
extern const Command kCommands[];
