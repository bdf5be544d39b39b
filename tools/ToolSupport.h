// Small helpers shared by zbpack's commands.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "tools/Commands.h"

namespace tool {

// Reads a whole file (native path). Returns 1, or 0 when it cannot be read.
int ReadWholeFile(const char* path, std::string* out);
// True when argv[1] asks for help.
bool WantsHelp(int argc, char** argv);
// Prints usage on stderr and returns kExitUsage.
int UsageError(const char* usage);
// The answer of a subcommand before it starts: when any argument after argv[0] asks for help
// (--help or -h), the help on stdout and kExitOk; otherwise, when the arguments are not of a
// count the subcommand takes, the help on stderr and kExitUsage. Nothing when it may go on.
std::optional<int> HelpOrUsage(int argc, char** argv, const char* help, bool countFits);
// Runs the subcommand that argv[1] names with argv + 1 (argv[0] is the command's own name); with
// --help or -h prints usage and the subcommands. Without a subcommand, or with an unknown one,
// prints usage to stderr and returns kExitUsage.
int RunSubcommand(const char* prefix, const char* usage, const Command* subcommands, int argc,
                  char** argv);
// Prints a text with backslash, line feed, tab and carriage return as \\, \n, \t and \r.
void PrintEscaped(FILE* out, const char* text);

}  // namespace tool
