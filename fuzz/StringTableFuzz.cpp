// The string table loaded from any dictionary text: the text is scrambled into the dictionary
// resource and the whole load runs, working files in the current folder and the settings file
// included. Rows stay within their limits, lookups stay within their buffer, the working files
// are gone afterwards and nothing is written anywhere else.
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "package/DictionaryContainer.h"
#include "package/LocalizedTexts.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/MemoryWriteStream.h"
#include "platform/MemoryResourceStore.h"
#include "platform/NativeFileSystem.h"
#include "platform/Platform.h"
#include "records/SettingsFile.h"
#include "records/SetupState.h"

namespace {

bool Terminated(const char* text, size_t size) {
    return memchr(text, '\0', size) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The load writes its working files into the current folder.
    if (chdir(Jail().work.c_str()) != 0) {
        FuzzFail("cannot enter the work folder", Jail().work);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Fields: the language the setup starts with, the one an earlier run left in the settings
    // file (none when empty), then the dictionary text.
    std::vector<std::string> fields = SplitFields(data, size, '\n', 3);
    const FuzzJail& jail = Jail();
    ClearWorkFolder();

    std::vector<unsigned char> bytes;
    MemoryWriteStream<std::vector<unsigned char>> container(&bytes);
    if (!WriteDictionaryContainer(container,
                                  reinterpret_cast<const unsigned char*>(fields[2].data()),
                                  fields[2].size())) {
        FuzzFail("cannot build the container");
    }
    MemoryResourceStore resources;
    resources.Add("PlainExtract", "DICT.DIC", bytes);
    NativeFileSystem files(jail.work, jail.work);
    IniProfileStore profile(jail.work);
    if (!fields[1].empty()) {
        profile.WriteString(settings::kSettingsSection, settings::kLanguageKey, fields[1].c_str(),
                            settings::kFileName);
    }
    CountingMessageBoxes messages;
    Platform platform;
    platform.files = &files;
    platform.messages = &messages;
    platform.resources = &resources;
    platform.profile = &profile;

    static SetupState state;  // large: kept off the stack
    InitSetupState(state);
    snprintf(state.language, sizeof state.language, "%s", fields[0].c_str());
    int result = LoadStringTable(state, platform);

    CheckNothingOutsideWork();
    FUZZ_CHECK(result == 1, messages.lastText);
    FUZZ_CHECK(messages.count == 0, messages.lastText);
    std::vector<std::string> left = ListFolder(jail.work);
    FUZZ_CHECK(left.size() == 1 && left[0] == settings::kFileName, "working files left behind");
    FUZZ_CHECK(Terminated(state.language, sizeof state.language), "language");

    StringTable& table = state.strings;
    FUZZ_CHECK(table.count >= 0 && table.count <= kStringTableRows, std::to_string(table.count));
    for (int i = 0; i < table.count; ++i) {
        const StringEntry& row = table.rows[i];
        FUZZ_CHECK(Terminated(row.key, sizeof row.key) && strlen(row.key) <= 62, row.key);
        FUZZ_CHECK(Terminated(row.text, sizeof row.text) && strlen(row.text) <= 510, row.key);
        const char* found = LookupString(table, row.key);
        FUZZ_CHECK(Terminated(table.lookup, sizeof table.lookup), row.key);
        FUZZ_CHECK(found != table.lookup, row.key);
    }
    // A key longer than any the table holds, and one from the dictionary text itself.
    std::string longKey(200, 'k');
    const char* miss = LookupString(table, longKey.c_str());
    FUZZ_CHECK(miss == table.lookup && Terminated(table.lookup, sizeof table.lookup), "long key");
    LookupString(table, fields[2].c_str());
    FUZZ_CHECK(Terminated(table.lookup, sizeof table.lookup), "text as key");
    return 0;
}
