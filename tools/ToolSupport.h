// Small helpers shared by zbpack's commands.
#pragma once

#include <cstdio>
#include <string>

namespace tool {

// Reads a whole file (native path). Returns 1, or 0 when it cannot be read.
int ReadWholeFile(const char* path, std::string* out);
// True when argv[1] asks for help.
bool WantsHelp(int argc, char** argv);
// Prints a text with backslash, line feed, tab and carriage return as \\, \n, \t and \r.
void PrintEscaped(FILE* out, const char* text);

}  // namespace tool
