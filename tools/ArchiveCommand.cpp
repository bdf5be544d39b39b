// zbpack archive: builds the payload archive that the setup carries, and lists, checks and
// unpacks archives with the setup's own reader.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "package/ArchiveFormat.h"
#include "package/PayloadArchive.h"
#include "platform/FileNames.h"
#include "platform/NativeFileSystem.h"
#include "platform/Platform.h"
#include "platform/StdioStreams.h"
#include "platform/Text.h"
#include "tools/ArchiveWriter.h"
#include "tools/Commands.h"
#include "tools/ToolSupport.h"
#include "tools/ConsoleMessageBoxes.h"

namespace {

constexpr char kPrefix[] = "zbpack archive";

const char kUsage[] =
    "usage: zbpack archive create OUT FILE...\n"
    "       zbpack archive list ARCHIVE\n"
    "       zbpack archive verify ARCHIVE\n"
    "       zbpack archive extract ARCHIVE DIR\n"
    "       zbpack archive SUBCOMMAND --help\n";

const char kCreateHelp[] =
    "usage: zbpack archive create OUT FILE...\n"
    "Writes the payload archive OUT: one record per FILE, stored under its file name (the last\n"
    "component of its path), in ascending order of the upper-cased names, each with a header of\n"
    "264 bytes (a 256-byte name field). Refused, with exit status 2 and OUT left as it was: a\n"
    "name that Windows does not store as given (empty, \".\" or \"..\", over 255 characters,\n"
    "a character < > : \" / \\ | ? * or a byte 1 to 31, a trailing dot or blank, a device name\n"
    "such as CON, NUL, COM1 or LPT1 with or without an extension), a file over 15000000 bytes,\n"
    "two files whose names differ only in letter case.\n";

const char kListHelp[] =
    "usage: zbpack archive list ARCHIVE\n"
    "Prints one line per record: the data length in decimal, a tab, the name. Exit status 1\n"
    "when the archive is damaged (the records before the damage are listed).\n";

const char kVerifyHelp[] =
    "usage: zbpack archive verify ARCHIVE\n"
    "Checks every record against the setup's limits (data length at most 15000000, header\n"
    "length 8 to 1032 with a NUL in the name field, no archive cut inside a record) and every\n"
    "name against the rule of names Windows stores as given (see create --help), writing\n"
    "nothing; each record that breaks it is named. Exit status 0 when all is well, 1 otherwise.\n";

const char kExtractHelp[] =
    "usage: zbpack archive extract ARCHIVE DIR\n"
    "Unpacks ARCHIVE into the existing folder DIR exactly as the setup does (same limits, a\n"
    "folder, a backslash and a name of at most 255 characters) and keeps ARCHIVE. The messages\n"
    "the setup would show are printed on stderr: an entry whose name Windows would not store as\n"
    "given is not written and is named like an entry that cannot be created. Exit status 1\n"
    "when any message was shown.\n";

// The data buffer of every reader: one allocation, as in the setup.
struct DataBuffer {
    DataBuffer() : bytes(static_cast<unsigned char*>(malloc(archive::kMaxDataLength))) {}
    ~DataBuffer() { free(bytes); }
    unsigned char* bytes;
};

// ---- create ----

// Checks every input, so that one run names every file that is refused, and puts them in the
// archive's order. Returns the exit status: kExitFailed when a file cannot be read, else
// kExitUsage when one is refused.
int CheckInputs(int count, char** paths, std::vector<archive::Input>* inputs) {
    inputs->resize(count);
    int refused = kExitOk;
    for (int i = 0; i < count; ++i) {
        int status = archive::CheckInput(kPrefix, paths[i], &(*inputs)[i]);
        if (status != kExitOk && refused != kExitFailed) {
            refused = status;
        }
    }
    return refused;
}

// Writes the archive beside OUT and renames it over OUT at the end: a failure leaves OUT as it
// was.
bool WriteArchiveFile(const char* outPath, const std::vector<archive::Input>& inputs) {
    std::string temporary;
    FILE* out = tool::CreateTemporaryBeside(outPath, &temporary);
    if (out == nullptr) {
        fprintf(stderr, "%s: %s: %s\n", kPrefix, tool::Shown(temporary).c_str(), strerror(errno));
        return false;
    }
    tool::RemoveOnSignal(temporary.c_str());
    bool ok = archive::WriteRecords(kPrefix, inputs, [out](const void* data, size_t size) {
        return fwrite(data, 1, size, out) == size;
    });
    bool closed = fclose(out) == 0;
    ok = ok && closed;
    if (ok && rename(temporary.c_str(), outPath) != 0) {
        fprintf(stderr, "%s: %s: %s\n", kPrefix, tool::Shown(outPath).c_str(), strerror(errno));
        ok = false;
    }
    if (!ok) {
        fprintf(stderr, "%s: %s not written\n", kPrefix, tool::Shown(outPath).c_str());
        unlink(temporary.c_str());
    }
    tool::RemoveOnSignal(nullptr);
    return ok;
}

int RunCreate(int argc, char** argv) {
    if (auto done = tool::HelpOrUsage(argc, argv, kCreateHelp, argc >= 3)) {
        return *done;
    }
    const char* outPath = argv[1];
    std::vector<archive::Input> inputs;
    if (int refused = CheckInputs(argc - 2, argv + 2, &inputs); refused != kExitOk) {
        fprintf(stderr, "%s: %s not written\n", kPrefix, tool::Shown(outPath).c_str());
        return refused;
    }
    // The setup's file system matches names without regard to case: the records stand in
    // ascending order of their upper-cased names, and two names that differ only in case would
    // overwrite each other.
    if (!archive::SortInputs(kPrefix, &inputs)) {
        return kExitUsage;
    }
    if (!WriteArchiveFile(outPath, inputs)) {
        return kExitFailed;
    }
    uint64_t length = archive::ArchiveLength(inputs);
    uint64_t content = length - inputs.size() * archive::kHeaderLength;
    printf("%s: %s: %zu entries, %llu content bytes, %llu bytes\n", kPrefix,
           tool::Shown(outPath).c_str(), inputs.size(), static_cast<unsigned long long>(content),
           static_cast<unsigned long long>(length));
    return kExitOk;
}

// ---- list and verify ----

// Reads every record of the archive at path, calling onRecord for each. True when the archive
// was read through, false when it is damaged or cannot be read (the reason is on stderr).
template <typename OnRecord>
bool ReadAll(const char* path, OnRecord onRecord) {
    std::unique_ptr<ReadStream> source = OpenStdioRead(path);
    if (source == nullptr) {
        fprintf(stderr, "%s: %s: %s\n", kPrefix, tool::Shown(path).c_str(), strerror(errno));
        return false;
    }
    DataBuffer data;
    if (data.bytes == nullptr) {
        fprintf(stderr, "%s: out of memory\n", kPrefix);
        return false;
    }
    archive::Record record;
    uint64_t offset = 0;
    for (unsigned index = 1;; ++index) {
        archive::Damage damage;
        archive::ReadResult read = archive::ReadRecord(*source, &record, data.bytes, &damage);
        if (read == archive::ReadResult::kEnd) {
            return true;
        }
        if (read == archive::ReadResult::kDamaged) {
            fprintf(stderr, "%s: %s: damaged at record %u (offset %llu): %s\n", kPrefix,
                    tool::Shown(path).c_str(), index, static_cast<unsigned long long>(offset),
                    archive::DescribeDamage(damage));
            return false;
        }
        onRecord(record, index, offset);
        offset += static_cast<uint64_t>(record.headerLength) + record.dataLength;
    }
}

int RunList(int argc, char** argv) {
    if (auto done = tool::HelpOrUsage(argc, argv, kListHelp, argc == 2)) {
        return *done;
    }
    bool read = ReadAll(argv[1], [](const archive::Record& record, unsigned, uint64_t) {
        printf("%u\t%s\n", record.dataLength, tool::Shown(record.name).c_str());
    });
    return read ? kExitOk : kExitFailed;
}

int RunVerify(int argc, char** argv) {
    if (auto done = tool::HelpOrUsage(argc, argv, kVerifyHelp, argc == 2)) {
        return *done;
    }
    const char* path = argv[1];
    unsigned records = 0;
    unsigned badNames = 0;
    uint64_t content = 0;
    uint64_t length = 0;
    bool read = ReadAll(path, [&](const archive::Record& record, unsigned index, uint64_t offset) {
        ++records;
        content += record.dataLength;
        length = offset + record.headerLength + record.dataLength;
        if (const char* why = names::WhyNotStored(record.name)) {
            ++badNames;
            fprintf(stderr, "%s: %s: record %u (offset %llu): the name '%s' %s\n", kPrefix,
                    tool::Shown(path).c_str(), index, static_cast<unsigned long long>(offset),
                    tool::Shown(record.name).c_str(), why);
        }
    });
    if (!read || badNames > 0) {
        return kExitFailed;
    }
    printf("%s: %s: ok, %u records, %llu content bytes, %llu bytes\n", kPrefix,
           tool::Shown(path).c_str(), records, static_cast<unsigned long long>(content),
           static_cast<unsigned long long>(length));
    return kExitOk;
}

// ---- extract ----

// The native file system, counting the entries that the extraction writes.
class CountingFileSystem : public NativeFileSystem {
public:
    std::unique_ptr<WriteStream> Create(const char* path) override {
        std::unique_ptr<WriteStream> out = NativeFileSystem::Create(path);
        if (out != nullptr) {
            ++created;
        }
        return out;
    }
    unsigned created = 0;
};

int RunExtract(int argc, char** argv) {
    if (auto done = tool::HelpOrUsage(argc, argv, kExtractHelp, argc == 3)) {
        return *done;
    }
    const char* archivePath = argv[1];
    const char* folder = argv[2];
    struct stat info;
    if (stat(folder, &info) != 0 || !S_ISDIR(info.st_mode)) {
        fprintf(stderr, "%s: %s: not an existing folder\n", kPrefix, tool::Shown(folder).c_str());
        return kExitUsage;
    }
    CountingFileSystem files;
    ConsoleMessageBoxes messages(kPrefix);
    Platform platform;
    platform.files = &files;
    platform.messages = &messages;
    // No window: the setup's progress notifications go nowhere. Divisor and start as the setup's.
    int unpacked = UnpackPayloadArchive(platform, nullptr, folder, archivePath, 30, 40,
                                        ArchiveAfterUse::kKeep, malloc);
    if (!unpacked || messages.shownCount() > 0) {
        return kExitFailed;
    }
    printf("%s: %s: %u entries written to %s\n", kPrefix, tool::Shown(archivePath).c_str(),
           files.created, tool::Shown(folder).c_str());
    return kExitOk;
}

const Command kSubcommands[] = {
    {"create", "write an archive of the given files", RunCreate},
    {"list", "print the data length and name of every record", RunList},
    {"verify", "check every record against the setup's limits and name rule", RunVerify},
    {"extract", "unpack an archive into a folder as the setup does, keeping it", RunExtract},
    {nullptr, nullptr, nullptr},
};

}  // namespace

int RunArchiveCommand(int argc, char** argv) {
    return tool::RunSubcommand(kPrefix, kUsage, kSubcommands, argc, argv);
}
