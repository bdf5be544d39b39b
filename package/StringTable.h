// Localized texts by key: a fixed table of at most 300 rows filled once at start-up.
#pragma once

struct Platform;
struct SetupState;

constexpr int kStringTableRows = 300;
constexpr int kStringKeySize = 64;
constexpr int kStringTextSize = 512;
constexpr int kLookupBufferSize = 96;

struct StringEntry {
    char key[kStringKeySize];    // upper case, at most 62 characters
    char text[kStringTextSize];  // at most 510 characters
};

struct StringTable {
    StringEntry rows[kStringTableRows];
    int count;  // 0 until loaded
    // Shared by every lookup: the upper-cased key of the latest one and, after a miss, its
    // error text.
    char lookup[kLookupBufferSize];
};

// Loads the table of the current language from the dictionary resource. Returns 1, or 0 when
// the dictionary cannot be opened or verified (the user has then been told).
int LoadStringTable(SetupState& state, Platform& platform);

// The text for a key (any letter case), or the upper-cased key followed by ": String Error",
// valid until the next lookup.
const char* LookupString(StringTable& table, const char* key);
