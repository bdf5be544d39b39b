// The installed settings as the main program shows them: which keys of ZarBelPC.INI it reads,
// its command line, and the texts for the window and for /dump.
#pragma once

#include <cstddef>

#include "platform/Text.h"

namespace settings {

struct Item {
    const char* section;
    const char* key;
    const char* label;  // shown in the window
};

constexpr int kItemCount = 6;
extern const Item kItems[kItemCount];
// The item that holds the songs folder.
constexpr int kSongFolderItem = 1;

constexpr size_t kValueSize = path::kPathSize;

struct Values {
    char value[kItemCount][kValueSize];
};

struct Options {
    int dump;  // "/dump FILE": write the values to FILE, no window
    char dumpFile[path::kPathSize];
    char songFile[path::kPathSize];  // a song to open, as the file associations pass it
};

// Reads the arguments after the program name. Returns 0 for a command line that cannot be
// followed ("/dump" without a file, a word too long for a path); options are then undefined.
int ParseOptions(const char* arguments, Options* options);

// One "key=value" line per item, in kItems order, each ended by "\n". Returns 1 when all of
// it fits out, else 0 with out holding the lines that fit.
int FormatDump(const Values& values, char* out, size_t outSize);

// The window's text: one "label: value" line per item ("\r\n" ends, as edit controls want),
// then the song count and the song to play, if any. An empty value shows as "-".
int FormatView(const Values& values, int songCount, const char* songFile, char* out,
               size_t outSize);

}  // namespace settings
