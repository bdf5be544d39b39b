// zbpack payload check DIR: whether a folder of product files holds every entry the installation
// needs, by the setup's own list; names compare without regard to case, as on Windows.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "records/InstallEntries.h"
#include "tools/Commands.h"
#include "tools/ToolSupport.h"

namespace {

const char kUsage[] =
    "usage: zbpack payload check DIR\n"
    "  Prints one line for each entry the installation copies, registers or starts, or that its\n"
    "  links point at, which DIR lacks; exits 1 when any is missing.\n";

// The names of the regular files directly in folder; 0 when it cannot be read.
int ListFiles(const char* folder, std::vector<std::string>* names) {
    DIR* dir = opendir(folder);
    if (dir == nullptr) {
        return 0;
    }
    while (const dirent* entry = readdir(dir)) {
        std::string path = std::string(folder) + "/" + entry->d_name;
        struct stat info;
        if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            names->push_back(entry->d_name);
        }
    }
    closedir(dir);
    return 1;
}

}  // namespace

int RunPayloadCommand(int argc, char** argv) {
    if (tool::WantsHelp(argc, argv)) {
        fputs(kUsage, stdout);
        return kExitOk;
    }
    if (argc != 3 || strcmp(argv[1], "check") != 0) {
        fputs(kUsage, stderr);
        return kExitUsage;
    }
    std::vector<std::string> present;
    if (!ListFiles(argv[2], &present)) {
        fprintf(stderr, "zbpack: cannot read the folder '%s'\n", argv[2]);
        return kExitFailed;
    }
    const char* required[entries::kRequiredCount];
    int count = entries::RequiredEntries(required, entries::kRequiredCount);
    int missing = 0;
    for (int i = 0; i < count; ++i) {
        bool found = false;
        for (const std::string& name : present) {
            found = found || strcasecmp(name.c_str(), required[i]) == 0;
        }
        if (!found) {
            printf("the payload lacks %s, which the installation or its links need\n", required[i]);
            ++missing;
        }
    }
    return missing == 0 ? kExitOk : kExitFailed;
}
