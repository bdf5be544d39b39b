// Localized texts by key: a fixed table of at most 300 rows filled once at start-up.
#pragma once

class ProfileStore;
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

// Loads the table of the current language from the dictionary resource: writes it to DICT.DIC
// in the current directory, unscrambles it into TEMP.DIC beside it, re-reads the language from
// the settings file (and writes it back), reads the table and deletes both files. Returns 1, or
// 0 when the dictionary cannot be opened or verified (the user has then been told; the files
// stay). A current directory that cannot be written and holds no DICT.DIC is replaced by the
// user's temporary folder.
int LoadStringTable(SetupState& state, Platform& platform);

// Fills the table from a plain dictionary: the keys K0, K1, ... of section ENUMKEYS up to the
// first missing one or one whose value starts with "-" (at most 300, upper-cased, cut to 62),
// then each key's text in the language's section (cut to 510, "String Error!" when missing),
// with its escapes rewritten. Returns the count.
int ReadStringTable(StringTable& table, ProfileStore& profile, const char* plainPath,
                    const char* language);

// Rewrites backslash-n and backslash-t in place as a blank followed by a line feed or a tab; the
// text keeps its length and every other backslash stays.
void RewriteTextEscapes(char* text);

// The text for a key (any letter case), or the upper-cased key followed by ": String Error",
// valid until the next lookup.
const char* LookupString(StringTable& table, const char* key);

// The text for a key, or the fallback when the table has no text of its own for it: no row, a
// row whose language lacks the key ("String Error!") or an empty text.
const char* LookupStringOr(StringTable& table, const char* key, const char* fallback);
