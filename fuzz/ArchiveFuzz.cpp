// The payload archive reader on any bytes: RESOURCE.DAT in a scratch folder is unpacked there.
// Whatever it holds, nothing may appear outside that folder, a damaged archive must be reported
// and kept, and a clean one deleted.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "package/ArchiveFormat.h"
#include "package/PayloadArchive.h"
#include "platform/NativeFileSystem.h"
#include "platform/Platform.h"
#include "platform/ResourceStore.h"

namespace {

bool FileHolds(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::string held;
    char block[4096];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        held.append(block, got);
    }
    fclose(file);
    return held.size() == size && (size == 0 || memcmp(held.data(), data, size) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzJail& jail = Jail();
    ClearWorkFolder();
    std::string archive = jail.work + "/RESOURCE.DAT";
    FILE* out = fopen(archive.c_str(), "wb");
    if (out == nullptr || fwrite(data, 1, size, out) != size || fclose(out) != 0) {
        FuzzFail("cannot write the archive", archive);
    }

    NativeFileSystem files(jail.jail, jail.jail);
    CountingMessageBoxes messages;
    IgnoredProgressBar progress;
    Platform platform;
    platform.files = &files;
    platform.messages = &messages;
    platform.progress = &progress;
    // The divisor of the real installation, and the start position it uses.
    int result = ExtractPayloadArchive(platform, reinterpret_cast<WindowHandle>(0x1005),
                                       jail.work.c_str(), "RESOURCE.DAT", 30, 40);

    CheckNothingOutsideWork();
    bool archiveLeft = FileHolds(archive, data, size);
    if (result == 1) {
        FUZZ_CHECK(!archiveLeft || size == 0 || messages.count > 0,
                   "a clean archive must be deleted");
    } else {
        FUZZ_CHECK(result == 0, std::to_string(result));
        FUZZ_CHECK(messages.count > 0, "a damaged archive must be reported");
        FUZZ_CHECK(archiveLeft, "a damaged archive must stay as it was");
    }
    FUZZ_CHECK(progress.last == -1 || progress.last >= 10, std::to_string(progress.last));

    // The planner's look at the record headers must stay inside the block as well.
    size_t longest = archive::LongestEntryName(data, size);
    FUZZ_CHECK(longest <= size, std::to_string(longest));
    return 0;
}
