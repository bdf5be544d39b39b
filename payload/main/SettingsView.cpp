// Texts of the main program's settings view and dump.
#include "payload/main/SettingsView.h"

#include <cstdio>

#include "payload/common/CommandLine.h"
#include "records/SettingsFile.h"

namespace settings {

const Item kItems[kItemCount] = {
    {kPathSection, kInstallPathKey, "Install folder"},
    {kPathSection, kSongFolderKey, "Songs folder"},
    {kPathSection, kServerPathKey, "Server"},
    {kSettingsSection, kLanguageKey, "Language"},
    {kSettingsSection, kExeModeKey, "Mode"},
    {kOptionsSection, kFirstTimeKey, "First start"},
};

int ParseOptions(const char* arguments, Options* options) {
    options->dump = 0;
    options->dumpFile[0] = '\0';
    options->songFile[0] = '\0';
    const char* cursor = arguments;
    char word[path::kPathSize];
    int complete = 0;
    while (cmdline::NextWord(&cursor, word, sizeof word, &complete)) {
        if (!complete) {
            return 0;
        }
        if (text::EqualNoCase(word, "/dump")) {
            if (!cmdline::NextWord(&cursor, word, sizeof word, &complete) || !complete ||
                word[0] == '\0') {
                return 0;
            }
            options->dump = 1;
            text::Copy(options->dumpFile, sizeof options->dumpFile, word);
        } else {
            text::Copy(options->songFile, sizeof options->songFile, word);
        }
    }
    return 1;
}

int FormatDump(const Values& values, char* out, size_t outSize) {
    if (outSize == 0) {
        return 0;
    }
    out[0] = '\0';
    char line[kValueSize + 64];
    for (int i = 0; i < kItemCount; ++i) {
        snprintf(line, sizeof line, "%s=%s\n", kItems[i].key, values.value[i]);
        if (!text::Append(out, outSize, line)) {
            return 0;
        }
    }
    return 1;
}

int FormatView(const Values& values, int songCount, const char* songFile, char* out,
               size_t outSize) {
    if (outSize == 0) {
        return 0;
    }
    out[0] = '\0';
    char line[kValueSize + 64];
    int ok = 1;
    for (int i = 0; i < kItemCount; ++i) {
        const char* value = values.value[i][0] != '\0' ? values.value[i] : "-";
        snprintf(line, sizeof line, "%s: %s\r\n", kItems[i].label, value);
        ok &= text::Append(out, outSize, line);
    }
    if (songCount >= 0) {
        snprintf(line, sizeof line, "\r\nSongs in the songs folder: %d\r\n", songCount);
    } else {
        snprintf(line, sizeof line, "\r\nThe songs folder cannot be read.\r\n");
    }
    ok &= text::Append(out, outSize, line);
    if (songFile != nullptr && songFile[0] != '\0') {
        snprintf(line, sizeof line, "Song to play: %s\r\n", songFile);
        ok &= text::Append(out, outSize, line);
    }
    return ok;
}

}  // namespace settings
