// zbpack setup: writes a setup from a prebuilt stub (the setup with every resource but the two
// data ones), a folder of product files and a dictionary text, without a compiler.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "package/ArchiveFormat.h"
#include "package/DictionaryContainer.h"
#include "package/ResourceExtraction.h"
#include "platform/MemoryWriteStream.h"
#include "platform/Text.h"
#include "records/InstallEntries.h"
#include "records/SetupConfiguration.h"
#include "tools/ArchiveWriter.h"
#include "tools/Commands.h"
#include "tools/DictionaryCheck.h"
#include "tools/PeRead.h"
#include "tools/PeWrite.h"
#include "tools/SetupRelease.h"
#include "tools/ToolSupport.h"

namespace {

constexpr char kPrefix[] = "zbpack setup build";

const char kUsage[] =
    "usage: zbpack setup build --stub STUB.exe --payload DIR --dictionary FILE --out OUT.exe\n"
    "                          [--documents DIR] [--version A.B[.C[.D]]] [--art DIR]\n"
    "       zbpack setup list SETUP.exe\n"
    "       zbpack setup extract SETUP.exe DIR\n"
    "       zbpack setup SUBCOMMAND --help\n";

const char kBuildHelp[] =
    "usage: zbpack setup build --stub STUB.exe --payload DIR --dictionary FILE --out OUT.exe\n"
    "                          [--documents DIR] [--version A.B[.C[.D]]] [--art DIR]\n"
    "Writes the setup OUT.exe: the stub (ZarBelPC-Setup-stub.exe or -stub-x64.exe, which the\n"
    "build makes) with the payload archive RESOURCE.DAT of every file directly in DIR and the\n"
    "dictionary container DICT.DIC scrambled from the dictionary text FILE added to its\n"
    "resources (type PLAINEXTRACT, in the language of the stub's resources). A DICT.DIC in DIR\n"
    "is left out; the one made from FILE goes into the archive.\n"
    "What a release changes besides, each optional (without it the stub's own stays):\n"
    "  --documents DIR  any of LICENSE_IT.RTF, LICENSE_UK.RTF, LICENSE_FR.RTF, LICENSE_SP.RTF,\n"
    "                   INSTALL_IT.RTF, INSTALL_UK.RTF, INSTALL_FR.RTF, INSTALL_SP.RTF (names\n"
    "                   without regard to case): RTF, at most 32767 bytes each\n"
    "  --version V      A.B[.C[.D]], each 0 to 65535: the version resource's numbers and texts\n"
    "                   and the manifest's version\n"
    "  --art DIR        any of banner_mic.bmp (56 x 60) and title.bmp (194 x 60), Windows\n"
    "                   bitmaps of the stub's size and colour depth, and setup.ico, the icon\n"
    "\n"
    "Refused, each problem with its message, exit status 2 and nothing written: a file that the\n"
    "installation or its links need and DIR lacks (names match without regard to case), a\n"
    "subfolder, a symbolic link or another file that is not regular, a file that cannot be\n"
    "read, a name longer than 255 characters or not a bare file name, a file over 15000000\n"
    "bytes, two names that differ only in case (as Windows folds it, accented letters too), a\n"
    "dictionary text with problems (zbpack dict check), a release input that is not what it\n"
    "must be (a file of another name or a folder in DIR, a document that is not RTF or too\n"
    "large, a bad version, picture or icon), a stub that is signed (sign the setup after\n"
    "packing it), a damaged image or a file that is not a stub of this setup.\n"
    "The same inputs give the same bytes. Exit status 1 when OUT.exe cannot be written.\n";

const char kListHelp[] =
    "usage: zbpack setup list SETUP.exe\n"
    "Prints one line per resource: type, name, language, size in bytes, and the file offset of\n"
    "its data; then the version: its text and its four numbers. Exit status 2 when SETUP.exe\n"
    "is not a sound PE image, 1 when it cannot be read.\n";

// Named resources are stored upper-cased, as windres stores them.
const std::string kDataType = text::Upper(kPlainExtractType);
constexpr uint16_t kDialogType = 5;

// ---- the stub ----

struct Stub {
    std::string bytes;
    pe::Image image;
    std::vector<pe::Resource> resources;
    uint16_t language = 0;
};

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

// The language most of the stub's resources have (all in one language in the stub): the data
// resources take it.
uint16_t MostCommonLanguage(const std::vector<pe::Resource>& resources) {
    std::map<uint16_t, int> languages;
    for (const pe::Resource& resource : resources) {
        ++languages[resource.language];
    }
    uint16_t language = 0;
    int most = 0;
    for (const auto& entry : languages) {
        if (entry.second > most) {
            most = entry.second;
            language = entry.first;
        }
    }
    return language;
}

// A stub of this setup: its install dialog, and no data resources yet.
bool CheckStubResources(const char* path, const std::vector<pe::Resource>& resources) {
    const pe::ResourceKey dataType = pe::ResourceKey::Name(kDataType.c_str());
    const pe::ResourceKey dialogType = pe::ResourceKey::Id(kDialogType);
    const pe::ResourceKey installDialog = pe::ResourceKey::Name(kInstallDialogTemplate);
    bool hasInstallDialog = false;
    for (const pe::Resource& resource : resources) {
        if (resource.type == dataType) {
            fprintf(stderr,
                    "%s: '%s' already carries data resources (%s %s): give the stub, not a "
                    "packed setup\n",
                    kPrefix, tool::Shown(path).c_str(), kDataType.c_str(),
                    tool::Shown(resource.name.Describe()).c_str());
            return false;
        }
        hasInstallDialog |= resource.type == dialogType && resource.name == installDialog;
    }
    if (!hasInstallDialog) {
        fprintf(stderr, "%s: '%s' is not a stub of this setup (it has no %s dialog)\n", kPrefix,
                tool::Shown(path).c_str(), kInstallDialogTemplate);
        return false;
    }
    return true;
}

// Reads and checks the stub; a problem is reported.
bool LoadStub(const char* path, Stub* stub) {
    if (!tool::ReadWholeFile(path, &stub->bytes)) {
        fprintf(stderr, "%s: the stub '%s' cannot be read: %s\n", kPrefix,
                tool::Shown(path).c_str(), strerror(errno));
        return false;
    }
    std::string why;
    if (!pe::ParseImage(Bytes(stub->bytes), stub->bytes.size(), &stub->image, &why) ||
        !pe::CheckRewritable(stub->image, stub->bytes.size(), &why) ||
        !pe::ReadResources(Bytes(stub->bytes), stub->bytes.size(), stub->image, &stub->resources,
                           &why)) {
        fprintf(stderr, "%s: '%s' cannot be the stub: %s\n", kPrefix, tool::Shown(path).c_str(),
                tool::Shown(why).c_str());
        return false;
    }
    if (!CheckStubResources(path, stub->resources)) {
        return false;
    }
    stub->language = MostCommonLanguage(stub->resources);
    return true;
}

// ---- the payload and the dictionary ----

// Checks one entry of the payload folder and adds it to inputs when it is a file for the
// archive; the payload's own dictionary container is left out. False when it is refused.
bool AddPayloadEntry(const char* folder, const std::string& name, const char* dictionaryPath,
                     std::vector<archive::Input>* inputs) {
    std::string path = std::string(folder) + "/" + name;
    // The entry itself, not what a link points to: a link could carry a file from anywhere.
    struct stat info;
    std::string shown = tool::Shown(name);
    if (lstat(path.c_str(), &info) != 0) {
        fprintf(stderr, "%s: '%s' in the payload cannot be read: %s\n", kPrefix, shown.c_str(),
                strerror(errno));
    } else if (S_ISLNK(info.st_mode)) {
        fprintf(stderr,
                "%s: '%s' in the payload is a symbolic link, not a regular file: copy the "
                "file itself into the folder\n",
                kPrefix, shown.c_str());
    } else if (S_ISDIR(info.st_mode)) {
        fprintf(stderr, "%s: the payload holds a folder, '%s': the archive holds files only\n",
                kPrefix, shown.c_str());
    } else if (!S_ISREG(info.st_mode)) {
        fprintf(stderr, "%s: '%s' in the payload is not a regular file\n", kPrefix, shown.c_str());
    } else if (access(path.c_str(), R_OK) != 0) {
        fprintf(stderr, "%s: '%s' in the payload cannot be read\n", kPrefix, shown.c_str());
    } else if (text::Upper(name) == kDictionaryResourceName) {
        fprintf(stderr, "%s: note: the payload's %s is left out; %s is made from %s\n", kPrefix,
                shown.c_str(), kDictionaryResourceName, tool::Shown(dictionaryPath).c_str());
        return true;
    } else {
        archive::Input input;
        if (archive::CheckInput(kPrefix, path.c_str(), &input) != kExitOk) {
            return false;
        }
        inputs->push_back(std::move(input));
        return true;
    }
    return false;
}

// What the installation copies, registers and starts, and what its links point to, each in
// inputs; every file missing is a problem.
void CheckRequiredFiles(const std::vector<archive::Input>& inputs, int* problems) {
    const char* requiredNames[entries::kRequiredCount];
    int requiredCount = entries::RequiredEntries(requiredNames, entries::kRequiredCount);
    for (int i = 0; i < requiredCount; ++i) {
        const char* required = requiredNames[i];
        std::string upper = text::Upper(required);
        if (std::none_of(inputs.begin(), inputs.end(), [&upper](const archive::Input& input) {
                return input.upperName == upper;
            })) {
            fprintf(stderr, "%s: the payload lacks %s, which the installation or its links need\n",
                    kPrefix, required);
            ++*problems;
        }
    }
}

// Lists the payload folder, checks every entry and adds the files to inputs (empty before).
void LoadPayload(const char* folder, const char* dictionaryPath,
                 std::vector<archive::Input>* inputs, int* problems) {
    std::vector<std::string> names;
    if (!tool::ListFolder(folder, &names)) {
        fprintf(stderr, "%s: payload folder '%s' cannot be opened: %s\n", kPrefix,
                tool::Shown(folder).c_str(), strerror(errno));
        ++*problems;
        return;
    }
    for (const std::string& name : names) {
        if (!AddPayloadEntry(folder, name, dictionaryPath, inputs)) {
            ++*problems;
        }
    }
    if (names.empty()) {
        fprintf(stderr, "%s: the payload folder '%s' holds no files\n", kPrefix,
                tool::Shown(folder).c_str());
        ++*problems;
    }
    CheckRequiredFiles(*inputs, problems);
}

void ReportDictionaryProblems(const std::string& shown,
                              const std::vector<DictionaryProblem>& problems) {
    for (const DictionaryProblem& problem : problems) {
        if (problem.line > 0) {
            fprintf(stderr, "%s: dictionary: %s:%d: %s\n", kPrefix, shown.c_str(), problem.line,
                    tool::Shown(problem.message).c_str());
        } else {
            fprintf(stderr, "%s: dictionary: %s: %s\n", kPrefix, shown.c_str(),
                    tool::Shown(problem.message).c_str());
        }
    }
}

// Lints the dictionary text and scrambles it into a container; a problem is reported.
bool LoadDictionary(const char* path, std::string* container) {
    std::string text;
    if (!tool::ReadWholeFile(path, &text)) {
        fprintf(stderr, "%s: the dictionary text '%s' cannot be read\n", kPrefix,
                tool::Shown(path).c_str());
        return false;
    }
    std::vector<DictionaryProblem> problems = CheckDictionaryText(text);
    std::string shown = tool::Shown(path);
    ReportDictionaryProblems(shown, problems);
    if (!problems.empty()) {
        fprintf(stderr, "%s: the dictionary text '%s' has problems (zbpack dict check)\n", kPrefix,
                shown.c_str());
        return false;
    }
    if (text.size() > archive::kMaxDataLength - kDictionaryHeaderSize) {
        fprintf(stderr, "%s: the dictionary text '%s' is too large for the archive\n", kPrefix,
                shown.c_str());
        return false;
    }
    container->clear();
    MemoryWriteStream<std::string> out(container);
    WriteDictionaryContainer(out, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return true;
}

// ---- writing ----

// The stub's resources with the two data ones: the dictionary container, and the payload
// archive written from its inputs while the setup is written.
std::vector<pe::Resource> SetupResources(const Stub& stub,
                                         const std::vector<archive::Input>& inputs,
                                         const std::string& container, uint64_t archiveLength) {
    std::vector<pe::Resource> resources = stub.resources;
    resources.push_back(pe::Resource{pe::ResourceKey::Name(kDataType.c_str()),
                                     pe::ResourceKey::Name(kDictionaryResourceName),
                                     stub.language,
                                     0,
                                     static_cast<uint32_t>(container.size()),
                                     Bytes(container),
                                     {}});
    auto writeArchive = [&inputs](pe::Sink& sink) {
        return archive::WriteRecords(kPrefix, inputs, [&sink](const void* data, size_t size) {
            return sink.Write(data, size);
        });
    };
    resources.push_back(pe::Resource{pe::ResourceKey::Name(kDataType.c_str()),
                                     pe::ResourceKey::Name(kArchiveResourceName), stub.language, 0,
                                     static_cast<uint32_t>(archiveLength), nullptr, writeArchive});
    return resources;
}

// Writes the setup beside OUT and renames it over OUT at the end: a failure leaves OUT as it was.
bool WriteSetupFile(const Stub& stub, std::vector<pe::Resource> resources, const char* outPath) {
    std::string temporary;
    FILE* file = tool::CreateTemporaryBeside(outPath, &temporary);
    if (file == nullptr) {
        fprintf(stderr, "%s: %s: %s\n", kPrefix, tool::Shown(temporary).c_str(), strerror(errno));
        return false;
    }
    tool::RemoveOnSignal(temporary.c_str());
    static char buffer[1 << 20];
    setvbuf(file, buffer, _IOFBF, sizeof buffer);
    std::string why;
    bool ok = pe::WriteWithResourcesToFile(Bytes(stub.bytes), stub.image, std::move(resources),
                                           file, &why);
    if (fclose(file) != 0 && ok) {
        ok = false;
        why = strerror(errno);
    }
    if (ok && rename(temporary.c_str(), outPath) != 0) {
        ok = false;
        why = strerror(errno);
    }
    if (!ok) {
        fprintf(stderr, "%s: %s not written: %s\n", kPrefix, tool::Shown(outPath).c_str(),
                tool::Shown(why).c_str());
        unlink(temporary.c_str());
    }
    tool::RemoveOnSignal(nullptr);
    return ok;
}

int WriteSetup(const Stub& stub, const std::vector<archive::Input>& inputs,
               const std::string& container, const char* outPath) {
    uint64_t archiveLength = archive::ArchiveLength(inputs);
    if (archiveLength > 0x7FFFFFFF) {
        fprintf(stderr, "%s: the payload archive would be %llu bytes, over 2 GB\n", kPrefix,
                static_cast<unsigned long long>(archiveLength));
        return kExitUsage;
    }
    if (!WriteSetupFile(stub, SetupResources(stub, inputs, container, archiveLength), outPath)) {
        return kExitFailed;
    }
    struct stat info;
    long long size = stat(outPath, &info) == 0 ? static_cast<long long>(info.st_size) : -1;
    printf("%s: %s: %zu entries in %s (%llu bytes), %s %zu bytes, %lld bytes\n", kPrefix,
           tool::Shown(outPath).c_str(), inputs.size(), kArchiveResourceName,
           static_cast<unsigned long long>(archiveLength), kDictionaryResourceName,
           container.size(), size);
    return kExitOk;
}

// ---- zbpack setup build ----

struct BuildOptions {
    const char* stub = nullptr;
    const char* payload = nullptr;
    const char* dictionary = nullptr;
    const char* out = nullptr;
    ReleaseOptions release;
};

// False, the reason printed, when an option is unknown, lacks its value, or a needed one is
// missing.
bool ParseBuildOptions(int argc, char** argv, BuildOptions* options) {
    for (int i = 1; i < argc; i += 2) {
        const char** target = strcmp(argv[i], "--stub") == 0         ? &options->stub
                              : strcmp(argv[i], "--payload") == 0    ? &options->payload
                              : strcmp(argv[i], "--dictionary") == 0 ? &options->dictionary
                              : strcmp(argv[i], "--out") == 0        ? &options->out
                              : strcmp(argv[i], "--documents") == 0  ? &options->release.documents
                              : strcmp(argv[i], "--version") == 0    ? &options->release.version
                              : strcmp(argv[i], "--art") == 0        ? &options->release.art
                                                                     : nullptr;
        if (target == nullptr || i + 1 >= argc) {
            fprintf(stderr, "%s: unknown option or option without a value: '%s'\n", kPrefix,
                    tool::Shown(argv[i]).c_str());
            return false;
        }
        *target = argv[i + 1];
    }
    if (options->stub == nullptr || options->payload == nullptr || options->dictionary == nullptr ||
        options->out == nullptr) {
        fprintf(stderr, "%s: --stub, --payload, --dictionary and --out are all needed\n", kPrefix);
        return false;
    }
    return true;
}

// The payload folder's files and the dictionary's container, which the archive carries too.
void LoadArchiveInputs(const BuildOptions& options, std::vector<archive::Input>* inputs,
                       std::string* container, int* problems) {
    struct stat info;
    if (stat(options.payload, &info) != 0 || !S_ISDIR(info.st_mode)) {
        fprintf(stderr, "%s: payload folder '%s' does not exist or is not a folder\n", kPrefix,
                tool::Shown(options.payload).c_str());
        ++*problems;
    } else {
        LoadPayload(options.payload, options.dictionary, inputs, problems);
    }
    if (stat(options.dictionary, &info) != 0 || !S_ISREG(info.st_mode)) {
        fprintf(stderr, "%s: dictionary text '%s' does not exist or is not a file\n", kPrefix,
                tool::Shown(options.dictionary).c_str());
        ++*problems;
    } else if (LoadDictionary(options.dictionary, container)) {
        // The archive carries the container too, byte for byte the resource.
        inputs->push_back(archive::MemoryInput(kDictionaryResourceName, *container));
    } else {
        ++*problems;
    }
    if (!archive::SortInputs(kPrefix, inputs)) {
        ++*problems;
    }
}

int RunBuild(int argc, char** argv) {
    if (auto done = tool::HelpOrUsage(argc, argv, kBuildHelp, true)) {
        return *done;
    }
    BuildOptions options;
    if (!ParseBuildOptions(argc, argv, &options)) {
        return tool::UsageError(kBuildHelp);
    }
    // Every input is checked, and every problem told, before anything is written.
    Stub stub;
    int problems = 0;
    // What the release changes in the stub's own resources (their bytes live in storage).
    std::deque<std::string> storage;
    if (!LoadStub(options.stub, &stub)) {
        ++problems;
    } else {
        ApplyReleaseInputs(kPrefix, options.release, stub.language, &stub.resources, &storage,
                           &problems);
    }
    std::vector<archive::Input> inputs;
    std::string container;
    LoadArchiveInputs(options, &inputs, &container, &problems);
    if (problems > 0) {
        fprintf(stderr, "%s: %d problem(s) with the inputs; nothing was written\n", kPrefix,
                problems);
        return kExitUsage;
    }
    return WriteSetup(stub, inputs, container, options.out);
}

int RunList(int argc, char** argv) {
    if (auto done = tool::HelpOrUsage(argc, argv, kListHelp, argc == 2)) {
        return *done;
    }
    std::string bytes;
    if (!tool::ReadWholeFile(argv[1], &bytes)) {
        fprintf(stderr, "zbpack setup list: %s cannot be read\n", tool::Shown(argv[1]).c_str());
        return kExitFailed;
    }
    pe::Image image;
    std::vector<pe::Resource> resources;
    std::string why;
    if (!pe::ParseImage(Bytes(bytes), bytes.size(), &image, &why) ||
        !pe::ReadResources(Bytes(bytes), bytes.size(), image, &resources, &why)) {
        fprintf(stderr, "zbpack setup list: %s: %s\n", tool::Shown(argv[1]).c_str(),
                tool::Shown(why).c_str());
        return kExitUsage;
    }
    for (const pe::Resource& r : resources) {
        printf("%s\t%s\t%u\t%u\t%lld\n", tool::Shown(r.type.Describe()).c_str(),
               tool::Shown(r.name.Describe()).c_str(), r.language, r.size,
               static_cast<long long>(r.data - Bytes(bytes)));
    }
    std::string version = DescribeVersion(resources);
    if (!version.empty()) {
        printf("%s\n", version.c_str());
    }
    return kExitOk;
}

const Command kSubcommands[] = {
    {"build", "write a setup from a stub, a payload folder and a dictionary text", RunBuild},
    {"list", "print the resources of a setup or stub", RunList},
    {"extract", "write back everything a setup was built from", RunExtract},
    {nullptr, nullptr, nullptr},
};

}  // namespace

int RunSetupCommand(int argc, char** argv) {
    return tool::RunSubcommand("zbpack setup", kUsage, kSubcommands, argc, argv);
}
