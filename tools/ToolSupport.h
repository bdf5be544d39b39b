// Small helpers shared by zbpack's commands.
//
// Results, throughout tools/: a subcommand's entry point returns the exit status (Commands.h).
// Every helper returns bool, true when it did what it says; false when it did not, its message
// already printed (or, for the portable readers and writers that print nothing, the reason in
// *error). A check of many inputs, which names every problem before anything is written, reports
// each on stderr, adds it to *problems and returns true when it found none. A helper whose
// failures end in different exit statuses returns the exit status itself, as an entry point does
// (archive::CheckInput). A judge of one input returns why it is refused, "" when it is not
// (release::). Overrides of the platform's interfaces keep the platform's own convention.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tools/Commands.h"

namespace tool {

// Reads a whole file (native path). False when it cannot be read.
bool ReadWholeFile(const char* path, std::string* out);
// The names in a folder but . and .., sorted bytewise. False with errno set when it cannot be
// opened.
bool ListFolder(const char* folder, std::vector<std::string>* names);
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
// A name from an input (a file, a path, a resource, a key) as zbpack prints it, so that it
// cannot move or retitle the terminal nor break a line: line feed, tab and carriage return as
// \n, \t and \r, every other control byte (NUL and DEL included) as \xNN.
std::string Shown(const std::string& text);
// A text printed so that it can be read back: Shown, with every backslash doubled first.
std::string ShownText(const std::string& text);

// Creates the temporary file for output that is renamed over it at the end, beside it, named
// output + ".tmp-" + the process id (and a count when that name is taken): exclusively and
// without following a link, so that a name planted in a folder others can write cannot make
// zbpack write into another file. Returns the file open for writing with its name in *name, or
// null with errno set.
FILE* CreateTemporaryBeside(const char* output, std::string* name);
// Removes the temporary file of this process that is still being written (if any) when the
// process is stopped by SIGINT, SIGTERM or SIGHUP; forget with nullptr once it is renamed.
void RemoveOnSignal(const char* temporary);

}  // namespace tool
