// zbpack: the release engineer's tool that builds and checks what the setup carries.
#include <cstdio>
#include <cstring>

#include "tools/Commands.h"
#include "tools/ToolSupport.h"

namespace {

void PrintUsage(FILE* out) {
    fprintf(out, "usage: zbpack COMMAND [ARGS...]\n       zbpack COMMAND --help\n\ncommands:\n");
    for (const Command* command = kCommands; command->name != nullptr; ++command) {
        fprintf(out, "  %-10s %s\n", command->name, command->summary);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    if (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0) {
        PrintUsage(stdout);
        return kExitOk;
    }
    for (const Command* command = kCommands; command->name != nullptr; ++command) {
        if (strcmp(argv[1], command->name) == 0) {
            return command->run(argc - 1, argv + 1);
        }
    }
    fprintf(stderr, "zbpack: unknown command '%s'\n", tool::Shown(argv[1]).c_str());
    PrintUsage(stderr);
    return kExitUsage;
}
