#include "package/StringTable.h"

#include <cstring>

#include "platform/Text.h"
#include "setup/SetupState.h"

int LoadStringTable(SetupState& state, Platform& platform) {
    // Stand-in until the dictionary lands: an empty table, every lookup yields its error text.
    (void)platform;
    state.strings.count = 0;
    return 1;
}

const char* LookupString(StringTable& table, const char* key) {
    constexpr size_t kKeyChars = 64;
    size_t length = strnlen(key, kKeyChars);
    memcpy(table.lookup, key, length);
    table.lookup[length] = '\0';
    text::UpperInPlace(table.lookup);
    for (int i = 0; i < table.count; ++i) {
        if (strcmp(table.lookup, table.rows[i].key) == 0) {
            return table.rows[i].text;
        }
    }
    // 64 characters of key and ": String Error" fit the 96-byte buffer.
    strcat(table.lookup, ": String Error");
    return table.lookup;
}
