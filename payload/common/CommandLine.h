// Splits a Windows command line into words the way the payload programs need it: blanks
// separate words, double quotes group blanks into a word and are dropped.
#pragma once

#include <cstddef>

namespace cmdline {

// Reads the next word at *cursor into word (when word is not null) and moves *cursor past it.
// Returns 1 when a word was found and 0 at the end of the line. *complete (when not null) is set
// to 0 when the word was longer than the buffer and had to be cut, else 1.
int NextWord(const char** cursor, char* word, size_t wordSize, int* complete);

// The text after the program name that starts the line the platform hands a process.
const char* SkipProgramName(const char* line);

}  // namespace cmdline
