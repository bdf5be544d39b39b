// Localized texts by key: the table (StringTable, in the setup state) is filled once at start-up
// from the dictionary and read through LookupString.
#pragma once

#include "records/SetupState.h"

class MessageBoxes;
class ProfileStore;
struct Platform;

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

// Shows a box whose caption and text are the dictionary's and returns the button pressed (0 when
// the box could not be shown). The caption is looked up first: after a miss it lives in the shared
// lookup buffer, which the text's lookup then overwrites, and the box shows what is left there.
// Every two-text box of the setup goes through here, so that they all keep that order.
int ShowLocalizedBox(StringTable& table, MessageBoxes& messages, WindowHandle owner,
                     const char* captionKey, const char* textKey, unsigned type);

// The text for a key, or the fallback when the table has no text of its own for it: no row, a
// row whose language lacks the key ("String Error!") or an empty text.
const char* LookupStringOr(StringTable& table, const char* key, const char* fallback);
