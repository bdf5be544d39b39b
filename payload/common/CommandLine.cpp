// Command-line words for the payload programs.
#include "payload/common/CommandLine.h"

namespace cmdline {

namespace {

int IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

int NextWord(const char** cursor, char* word, size_t wordSize, int* complete) {
    const char* p = *cursor;
    while (IsBlank(*p)) {
        ++p;
    }
    if (complete != nullptr) {
        *complete = 1;
    }
    if (*p == '\0') {
        *cursor = p;
        if (word != nullptr && wordSize > 0) {
            word[0] = '\0';
        }
        return 0;
    }
    size_t used = 0;
    int quoted = 0;
    for (; *p != '\0' && (quoted || !IsBlank(*p)); ++p) {
        if (*p == '"') {
            quoted = !quoted;
            continue;
        }
        if (word == nullptr) {
            continue;
        }
        if (used + 1 < wordSize) {
            word[used++] = *p;
        } else if (complete != nullptr) {
            *complete = 0;
        }
    }
    if (word != nullptr && wordSize > 0) {
        word[used] = '\0';
    } else if (word != nullptr && complete != nullptr) {
        *complete = 0;
    }
    *cursor = p;
    return 1;
}

const char* SkipProgramName(const char* line) {
    const char* cursor = line;
    NextWord(&cursor, nullptr, 0, nullptr);
    return cursor;
}

}  // namespace cmdline
