// The lint behind `zbpack dict check`: reads a dictionary text the way the setup will and names
// everything that would reach a user as an error text, be cut, or never be read at all.
#pragma once

#include <string>
#include <vector>

#include "records/StringKeys.h"

struct DictionaryProblem {
    int line;  // 1-based line of the text; 0 when the problem has no single line
    std::string message;
};

// The keys that a dictionary for the setup lists, and the language sections the setup can
// select, are records/StringKeys.h's kSetupStringKeys and kSetupLanguages.

// Problems of a dictionary text, those without a line first, then by line.
std::vector<DictionaryProblem> CheckDictionaryText(const std::string& text);
