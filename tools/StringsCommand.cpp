// zbpack strings: loads a dictionary container exactly as the setup does and prints the table,
// so that a translator sees what the setup will show.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "package/LocalizedTexts.h"
#include "package/ResourceExtraction.h"
#include "platform/IniFile.h"
#include "platform/MemoryResourceStore.h"
#include "platform/NativeFileSystem.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "records/SettingsFile.h"
#include "records/SetupState.h"
#include "tools/Commands.h"
#include "tools/ConsoleMessageBoxes.h"
#include "tools/DictionaryCheck.h"
#include "tools/ToolSupport.h"

namespace {

const char kUsage[] =
    "usage: zbpack strings DIC LANGUAGE [KEY...]\n"
    "\n"
    "Loads the container DIC as the setup does (verify, unscramble, the ENUMKEYS list, the\n"
    "LANGUAGE section, the escape rewrite) and prints the table, one KEY=text line per row.\n"
    "With KEYs it prints the result of each lookup instead, error texts included. Backslash,\n"
    "line feed, tab and carriage return are printed as \\\\, \\n, \\t and \\r.\n";

// The setup's working folder, settings folder and temp folder in one scratch folder, so that
// nothing the load writes touches the caller's folders.
class ScratchFiles : public FileSystem {
public:
    explicit ScratchFiles(const std::string& folder) : real_(folder, folder), folder_(folder) {}
    std::unique_ptr<ReadStream> OpenRead(const char* path) override { return real_.OpenRead(path); }
    std::unique_ptr<WriteStream> Create(const char* path) override { return real_.Create(path); }
    bool Exists(const char* path) override { return real_.Exists(path); }
    int Delete(const char* path) override { return real_.Delete(path); }
    int CreateFolder(const char* path) override { return real_.CreateFolder(path); }
    int Copy(const char* from, const char* to) override { return real_.Copy(from, to); }
    size_t GetCurrentFolder(char* out, size_t size) override {
        return text::Copy(out, size, folder_.c_str()) ? folder_.size() : 0;
    }
    int SetCurrentFolder(const char*) override { return 0; }
    size_t GetWindowsFolder(char* out, size_t size) override {
        return real_.GetWindowsFolder(out, size);
    }
    size_t GetTempFolder(char* out, size_t size) override { return real_.GetTempFolder(out, size); }

private:
    NativeFileSystem real_;
    std::string folder_;
};

SetupState gState;

void PrintLine(const char* key, const char* text) {
    fputs(tool::Shown(key).c_str(), stdout);
    fputc('=', stdout);
    fputs(tool::ShownText(text).c_str(), stdout);
    fputc('\n', stdout);
}

// Removes what the load wrote in the scratch folder (the container, its plain text, the settings
// file), then the folder.
void RemoveScratch(const std::string& folder) {
    std::vector<std::string> names;
    if (tool::ListFolder(folder.c_str(), &names)) {
        for (const std::string& name : names) {
            unlink((folder + "/" + name).c_str());
        }
    }
    rmdir(folder.c_str());
}

// The language the load selects. False when it is too long; a language the setup does not know
// is noted and kept.
bool SetLanguage(const char* language) {
    if (!text::Copy(gState.language, sizeof gState.language - 1, language)) {
        fprintf(stderr, "zbpack strings: the language name is longer than 62 characters\n");
        return false;
    }
    bool known = false;
    for (int i = 0; i < kSetupLanguageCount; ++i) {
        known = known || strcmp(language, kSetupLanguages[i]) == 0;
    }
    if (!known) {
        fprintf(stderr, "zbpack strings: note: %s is not a language of the setup\n",
                tool::Shown(language).c_str());
    }
    return true;
}

bool MakeScratchFolder(std::string* folder) {
    const char* tmp = getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zbpack-strings-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) {
        fprintf(stderr, "zbpack strings: cannot make a scratch folder\n");
        return false;
    }
    *folder = pattern;
    return true;
}

// Loads the string table from the container as the setup loads it from its resource, in a
// scratch folder that is gone afterwards. False when the load failed (its messages are printed).
bool LoadAsTheSetup(const std::string& container) {
    std::string scratch;
    if (!MakeScratchFolder(&scratch)) {
        return false;
    }
    MemoryResourceStore resources;
    resources.Add(kPlainExtractType, kDictionaryResourceName,
                  std::vector<unsigned char>(container.begin(), container.end()));
    ScratchFiles files(scratch);
    IniProfileStore profile(scratch);  // no settings file: the language given here is kept
    ConsoleMessageBoxes messages("zbpack strings", ConsoleMessageBoxes::Text::kReadBack);
    Platform platform;
    platform.messages = &messages;
    platform.profile = &profile;
    platform.resources = &resources;
    platform.files = &files;
    int loaded = LoadStringTable(gState, platform);
    RemoveScratch(scratch);
    return loaded != 0;
}

}  // namespace

int RunStringsCommand(int argc, char** argv) {
    if (tool::WantsHelp(argc, argv)) {
        fputs(kUsage, stdout);
        return kExitOk;
    }
    if (argc < 3) {
        fputs(kUsage, stderr);
        return kExitUsage;
    }
    const char* dictionary = argv[1];
    InitSetupState(gState);
    if (!SetLanguage(argv[2])) {
        return kExitUsage;
    }
    std::string container;
    if (!tool::ReadWholeFile(dictionary, &container)) {
        fprintf(stderr, "zbpack strings: cannot read %s\n", tool::Shown(dictionary).c_str());
        return kExitFailed;
    }
    if (!LoadAsTheSetup(container)) {
        return kExitFailed;
    }
    StringTable& table = gState.strings;
    if (argc == 3) {
        for (int i = 0; i < table.count; ++i) {
            PrintLine(table.rows[i].key, table.rows[i].text);
        }
    } else {
        for (int k = 3; k < argc; ++k) {
            PrintLine(argv[k], LookupString(table, argv[k]));
        }
    }
    return kExitOk;
}
