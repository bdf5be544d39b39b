#include "package/LocalizedTexts.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "package/DictionaryContainer.h"
#include "package/PackageTexts.h"
#include "package/ResourceExtraction.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/ProfileStore.h"
#include "platform/Text.h"
#include "records/SettingsFile.h"
#include "records/SetupConfiguration.h"
#include "records/SetupState.h"

namespace {

constexpr const char* kPlainName = "TEMP.DIC";
constexpr unsigned kExtractDivisor = 20;
constexpr int kExtractStart = 20;

// The working folder and the two working files, in buffers of these sizes (terminator included).
constexpr size_t kWorkFolderSize = 259;
constexpr size_t kDictionaryPathSize = 264;
constexpr size_t kPlainPathSize = path::kPathSize;
// The reader's buffers: one less than the fields, so keys stop at 62 and texts at 510.
constexpr size_t kKeyReadSize = kStringKeySize - 1;
constexpr size_t kTextReadSize = kStringTextSize - 1;
constexpr size_t kLanguageReadSize = kLanguageSize - 1;
constexpr size_t kLookupKeyChars = 64;

struct WorkFiles {
    char dictionary[kDictionaryPathSize];
    char plain[kPlainPathSize];
};

int BuildWorkFiles(const char* folder, WorkFiles* work) {
    return path::Join(work->dictionary, sizeof work->dictionary, folder, kDictionaryResourceName) &&
           path::Join(work->plain, sizeof work->plain, folder, kPlainName);
}

// True when a file can be created in the folder of work->dictionary. The probe is removed again,
// so that a missing resource still ends in "Cannot open DICT.DIC".
bool CanCreateDictionary(FileSystem& files, const WorkFiles& work) {
    std::unique_ptr<WriteStream> probe = files.Create(work.dictionary);
    if (!probe) {
        return false;
    }
    probe->Close();
    probe.reset();
    files.Delete(work.dictionary);
    return true;
}

// The working files go to the current directory. A setup started from a folder it cannot write
// (a CD, a read-only share) that holds no DICT.DIC could never load its texts there; it uses
// the user's temporary folder instead, silently. Returns 0 when no usable paths fit.
int ChooseWorkFiles(FileSystem& files, WorkFiles* work) {
    char folder[kWorkFolderSize];
    if (files.GetCurrentFolder(folder, sizeof folder) == 0 || !BuildWorkFiles(folder, work)) {
        return 0;
    }
    if (files.Exists(work->dictionary) || CanCreateDictionary(files, *work)) {
        return 1;
    }
    WorkFiles temp;
    if (files.GetTempFolder(folder, sizeof folder) == 0 || !BuildWorkFiles(folder, &temp)) {
        return 1;  // no way out: go on where we are and tell the user below
    }
    *work = temp;
    return 1;
}

void ShowLoadError(Platform& platform, const char* text) {
    platform.messages->Show(nullptr, text, kDictionaryErrorCaption, kMbIconError);
}

}  // namespace

void RewriteTextEscapes(char* text) {
    // In place and length-preserving: the backslash becomes a blank, the letter the control
    // character. The terminator may be looked at as text[j + 1], never past it.
    size_t length = strlen(text);
    for (size_t j = 0; j < length; ++j) {
        if (text[j] != '\\') {
            continue;
        }
        if (text[j + 1] == 'n') {
            text[j] = ' ';
            text[j + 1] = '\n';
        } else if (text[j + 1] == 't') {
            text[j] = ' ';
            text[j + 1] = '\t';
        }
    }
}

int ReadStringTable(StringTable& table, ProfileStore& profile, const char* plainPath,
                    const char* language) {
    table.count = 0;
    for (int n = 0; n < kStringTableRows; ++n) {
        char name[16];
        snprintf(name, sizeof name, "K%i", n);
        StringEntry& row = table.rows[n];
        profile.ReadString("ENUMKEYS", name, "-", row.key, kKeyReadSize, plainPath);
        if (row.key[0] == '-') {
            break;
        }
        text::UpperInPlace(row.key);
        table.count = n + 1;
    }
    for (int i = 0; i < table.count; ++i) {
        StringEntry& row = table.rows[i];
        profile.ReadString(language, row.key, kMissingText, row.text, kTextReadSize, plainPath);
        RewriteTextEscapes(row.text);
    }
    return table.count;
}

int LoadStringTable(SetupState& state, Platform& platform) {
    FileSystem& files = *platform.files;
    WorkFiles work;
    if (!ChooseWorkFiles(files, &work)) {
        // A current directory too long for the paths: nothing can be written or read there.
        ShowLoadError(platform, kDictionaryCannotOpen);
        return 0;
    }

    // The result is not needed: the file's existence tells, and an existing DICT.DIC in a
    // folder that cannot be written is used as it is.
    ExtractResourceToFile(platform, work.dictionary, kPlainExtractType, kDictionaryResourceName,
                          nullptr, kExtractDivisor, kExtractStart);
    if (!files.Exists(work.dictionary)) {
        ShowLoadError(platform, kDictionaryCannotOpen);
        return 0;
    }
    if (!UnscrambleDictionary(files, work.dictionary, work.plain)) {
        // Both files stay for whoever looks into the failure.
        ShowLoadError(platform, kDictionaryDamaged);
        return 0;
    }

    // The language chosen in an earlier run wins over the initial one; from here on the key
    // exists in the settings file.
    const char* file = kSetupConfiguration.settingsFileName;
    char current[kLanguageSize];
    text::Copy(current, sizeof current, state.language);
    platform.profile->ReadString(settings::kSettingsSection, settings::kLanguageKey, current,
                                 state.language, kLanguageReadSize, file);
    platform.profile->WriteString(settings::kSettingsSection, settings::kLanguageKey,
                                  state.language, file);

    ReadStringTable(state.strings, *platform.profile, work.plain, state.language);

    files.Delete(work.plain);
    files.Delete(work.dictionary);
    return 1;
}

const char* LookupString(StringTable& table, const char* key) {
    size_t length = strnlen(key, kLookupKeyChars);
    memcpy(table.lookup, key, length);
    table.lookup[length] = '\0';
    text::UpperInPlace(table.lookup);
    for (int i = 0; i < table.count; ++i) {
        if (strcmp(table.lookup, table.rows[i].key) == 0) {
            return table.rows[i].text;
        }
    }
    // 64 characters of key and ": String Error" fit the 96-byte buffer.
    static_assert(kLookupKeyChars + sizeof ": String Error" <= kLookupBufferSize,
                  "the lookup buffer holds the longest error text");
    strcat(table.lookup, kMissTextSuffix);
    return table.lookup;
}

int ShowLocalizedBox(StringTable& table, MessageBoxes& messages, WindowHandle owner,
                     const char* captionKey, const char* textKey, unsigned type) {
    const char* caption = LookupString(table, captionKey);
    const char* text = LookupString(table, textKey);
    return messages.Show(owner, text, caption, type);
}

const char* LookupStringOr(StringTable& table, const char* key, const char* fallback) {
    const char* found = LookupString(table, key);
    if (found == table.lookup || found[0] == '\0' || strcmp(found, kMissingText) == 0) {
        return fallback;
    }
    return found;
}
