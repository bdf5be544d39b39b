// songcheck: lists the songs of the songs folder (the one in ZarBelPC.INI, or the folder given)
// and marks the ones whose header does not fit their kind. Exit codes: 0 all fine, 1 the folder
// cannot be read, 2 some songs look damaged.
#include <windows.h>

#include <cstdio>

#include "platform/Text.h"
#include "payload/songcheck/SongFolder.h"
#include "payload/songcheck/SongList.h"
#include "records/SettingsFile.h"

namespace {

struct Tally {
    int damaged;
};

void PrintSong(const char* filePath, const char* name, unsigned long long size, void* context) {
    Tally* tally = static_cast<Tally*>(context);
    unsigned char header[songs::kHeaderSize];
    int read = songs::ReadFileStart(filePath, header, sizeof header);
    int good =
        read > 0 && songs::HeaderMatches(songs::KindOf(name), header, static_cast<size_t>(read));
    if (!good) {
        ++tally->damaged;
    }
    printf("%-40s %12llu  %s\n", name, size, good ? "ok" : "damaged");
}

}  // namespace

int main(int argc, char** argv) {
    char folder[path::kPathSize];
    if (argc > 1) {
        if (!text::Copy(folder, sizeof folder, argv[1])) {
            fprintf(stderr, "songcheck: folder path too long\n");
            return 1;
        }
    } else {
        GetPrivateProfileStringA(settings::kPathSection, settings::kSongFolderKey, "", folder,
                                 sizeof folder, settings::kFileName);
        if (folder[0] == '\0') {
            fprintf(stderr, "songcheck: no PATH/SONGDIR in ZarBelPC.INI; give the folder\n");
            return 1;
        }
    }
    Tally tally = {0};
    int count = songs::ForEachSong(folder, PrintSong, &tally);
    if (count < 0) {
        fprintf(stderr, "songcheck: cannot read %s\n", folder);
        return 1;
    }
    printf("%d songs in %s, %d damaged\n", count, folder, tally.damaged);
    return tally.damaged > 0 ? 2 : 0;
}
