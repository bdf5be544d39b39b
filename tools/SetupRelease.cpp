#include "tools/SetupRelease.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "package/ArchiveFormat.h"
#include "package/DictionaryContainer.h"
#include "package/ResourceExtraction.h"
#include "package/VersionResource.h"
#include "platform/ByteOrder.h"
#include "platform/FileNames.h"
#include "platform/Text.h"
#include "tools/Commands.h"
#include "tools/ReleaseInputs.h"
#include "tools/ToolSupport.h"
#include "tools/VersionInfo.h"

namespace {

using pe::Resource;
using pe::ResourceKey;

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

std::string DataOf(const Resource& resource) {
    return std::string(reinterpret_cast<const char*>(resource.data), resource.size);
}

Resource* Find(std::vector<Resource>* resources, const ResourceKey& type, const ResourceKey& name) {
    for (Resource& resource : *resources) {
        if (resource.type == type && resource.name == name) {
            return &resource;
        }
    }
    return nullptr;
}

const Resource* Find(const std::vector<Resource>& resources, const ResourceKey& type,
                     const ResourceKey* name) {
    for (const Resource& resource : resources) {
        if (resource.type == type && (name == nullptr || resource.name == *name)) {
            return &resource;
        }
    }
    return nullptr;
}

void SetData(Resource* resource, std::deque<std::string>* storage, std::string bytes) {
    storage->push_back(std::move(bytes));
    resource->data = Bytes(storage->back());
    resource->size = static_cast<uint32_t>(storage->back().size());
    resource->produce = nullptr;
}

// The files of a release folder: each entry a regular file of one of the known names (without
// regard to case), no folder, no two files for one name. Returns the number of problems; *found
// maps a known name to the file's path.
int ListReleaseFolder(const char* prefix, const char* what, const char* folder,
                      const std::vector<std::string>& known,
                      std::map<std::string, std::string>* found) {
    DIR* dir = opendir(folder);
    if (dir == nullptr) {
        fprintf(stderr, "%s: the %s folder '%s' cannot be opened: %s\n", prefix, what,
                tool::Shown(folder).c_str(), strerror(errno));
        return 1;
    }
    std::vector<std::string> names;
    while (struct dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) {
            names.push_back(entry->d_name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    std::string list;
    for (const std::string& name : known) {
        list += (list.empty() ? "" : ", ") + name;
    }
    int problems = 0;
    for (const std::string& name : names) {
        std::string path = std::string(folder) + "/" + name;
        struct stat info;
        auto match = std::find_if(known.begin(), known.end(), [&name](const std::string& k) {
            return text::Upper(k) == text::Upper(name);
        });
        if (lstat(path.c_str(), &info) != 0) {
            fprintf(stderr, "%s: '%s' in the %s folder cannot be read: %s\n", prefix,
                    tool::Shown(name).c_str(), what, strerror(errno));
            ++problems;
        } else if (S_ISDIR(info.st_mode)) {
            fprintf(stderr, "%s: the %s folder holds a folder, '%s'\n", prefix, what,
                    tool::Shown(name).c_str());
            ++problems;
        } else if (match == known.end()) {
            fprintf(stderr, "%s: '%s' in the %s folder is none of %s\n", prefix,
                    tool::Shown(name).c_str(), what, list.c_str());
            ++problems;
        } else if (!S_ISREG(info.st_mode)) {
            fprintf(stderr, "%s: '%s' in the %s folder is not a regular file\n", prefix,
                    tool::Shown(name).c_str(), what);
            ++problems;
        } else if (found->count(*match) != 0) {
            fprintf(stderr, "%s: '%s' and '%s' in the %s folder are the same name to Windows\n",
                    prefix, tool::Shown((*found)[*match].substr(strlen(folder) + 1)).c_str(),
                    tool::Shown(name).c_str(), what);
            ++problems;
        } else {
            (*found)[*match] = path;
        }
    }
    return problems;
}

int ApplyDocuments(const char* prefix, const char* folder, uint16_t language,
                   std::vector<Resource>* resources, std::deque<std::string>* storage) {
    std::vector<std::string> known(std::begin(release::kDocumentNames),
                                   std::end(release::kDocumentNames));
    std::map<std::string, std::string> found;
    int problems = ListReleaseFolder(prefix, "documents", folder, known, &found);
    const ResourceKey type = ResourceKey::Name(release::kDocumentType);
    std::vector<std::pair<std::string, std::string>> documents;
    for (const auto& [name, path] : found) {
        std::string bytes;
        if (!tool::ReadWholeFile(path.c_str(), &bytes)) {
            fprintf(stderr, "%s: the document '%s' cannot be read\n", prefix,
                    tool::Shown(path).c_str());
            ++problems;
            continue;
        }
        std::string why = release::CheckDocument(bytes);
        if (!why.empty()) {
            fprintf(stderr, "%s: the document '%s' %s\n", prefix, tool::Shown(path).c_str(),
                    why.c_str());
            ++problems;
            continue;
        }
        documents.emplace_back(name, std::move(bytes));
    }
    if (problems > 0) {
        return problems;
    }
    for (auto& [name, bytes] : documents) {
        Resource* resource = Find(resources, type, ResourceKey::Name(name.c_str()));
        if (resource == nullptr) {
            // A language whose document the stub lacks gets one.
            resources->push_back(
                Resource{type, ResourceKey::Name(name.c_str()), language, 0, 0, nullptr, {}});
            resource = &resources->back();
        }
        SetData(resource, storage, std::move(bytes));
    }
    return 0;
}

int ApplyVersion(const char* prefix, const char* text, std::vector<Resource>* resources,
                 std::deque<std::string>* storage) {
    version::Numbers numbers;
    std::string why;
    if (!version::ParseNumbers(text, &numbers, &why)) {
        fprintf(stderr, "%s: --version %s\n", prefix, why.c_str());
        return 1;
    }
    Resource* info = nullptr;
    Resource* manifest = nullptr;
    for (Resource& resource : *resources) {
        if (!resource.type.named && resource.type.id == release::kVersionType && info == nullptr) {
            info = &resource;
        } else if (!resource.type.named && resource.type.id == release::kManifestType &&
                   manifest == nullptr) {
            manifest = &resource;
        }
    }
    version::Node root;
    std::string stamped;
    if (info == nullptr || !version::Parse(info->data, info->size, &root, &why) ||
        !version::Stamp(&root, numbers)) {
        fprintf(stderr, "%s: the stub has no version resource that can be stamped\n", prefix);
        return 1;
    }
    if (manifest == nullptr ||
        !version::StampManifest(DataOf(*manifest), numbers.Dotted(), &stamped)) {
        fprintf(stderr, "%s: the stub's manifest has no assemblyIdentity version\n", prefix);
        return 1;
    }
    SetData(info, storage, version::Encode(root));
    SetData(manifest, storage, stamped);
    return 0;
}

int ApplyArt(const char* prefix, const char* folder, std::vector<Resource>* resources,
             std::deque<std::string>* storage) {
    std::map<std::string, std::string> found;
    int problems = ListReleaseFolder(
        prefix, "art", folder, {release::kMicrophoneFile, release::kTitleFile, release::kIconFile},
        &found);
    const ResourceKey bitmapType = ResourceKey::Id(release::kBitmapType);
    std::vector<std::pair<Resource*, std::string>> pictures;
    for (const auto& [file, id] :
         {std::make_pair(release::kMicrophoneFile, release::kMicrophoneBitmap),
          std::make_pair(release::kTitleFile, release::kTitleBitmap)}) {
        auto at = found.find(file);
        if (at == found.end()) {
            continue;
        }
        std::string bytes;
        std::string dib;
        Resource* stubPicture = Find(resources, bitmapType, ResourceKey::Id(id));
        std::string why = !tool::ReadWholeFile(at->second.c_str(), &bytes) ? "cannot be read"
                          : stubPicture == nullptr
                              ? "has no bitmap in the stub to replace"
                              : release::BitmapToDib(bytes, DataOf(*stubPicture), &dib);
        if (!why.empty()) {
            fprintf(stderr, "%s: the picture '%s' %s\n", prefix, tool::Shown(at->second).c_str(),
                    why.c_str());
            ++problems;
            continue;
        }
        pictures.emplace_back(stubPicture, std::move(dib));
    }
    std::vector<release::IconImage> images;
    auto icon = found.find(release::kIconFile);
    const ResourceKey groupType = ResourceKey::Id(release::kGroupIconType);
    const ResourceKey groupName = ResourceKey::Name(release::kIconGroup);
    Resource* group = Find(resources, groupType, groupName);
    if (icon != found.end()) {
        std::string bytes;
        std::string why = !tool::ReadWholeFile(icon->second.c_str(), &bytes) ? "cannot be read"
                          : group == nullptr ? "has no icon group SETUP in the stub to replace"
                                             : release::ParseIcon(bytes, &images);
        if (!why.empty()) {
            fprintf(stderr, "%s: the icon '%s' %s\n", prefix, tool::Shown(icon->second).c_str(),
                    why.c_str());
            ++problems;
        }
    }
    if (problems > 0) {
        return problems;
    }
    for (auto& [resource, dib] : pictures) {
        SetData(resource, storage, std::move(dib));
    }
    if (!images.empty()) {
        // The old group's icons go; the new ones are numbered as the resource compiler numbers
        // them, from 1, after any icon that is not the group's.
        std::vector<release::IconImage> entries;
        std::vector<uint16_t> ids;
        release::ParseIconGroup(DataOf(*group), &entries, &ids);
        uint16_t language = group->language;
        uint32_t codePage = group->codePage;
        resources->erase(
            std::remove_if(resources->begin(), resources->end(),
                           [&ids](const Resource& r) {
                               return !r.type.named && r.type.id == release::kIconType &&
                                      std::find(ids.begin(), ids.end(), r.name.id) != ids.end();
                           }),
            resources->end());
        uint32_t first = 1;
        for (const Resource& r : *resources) {
            if (!r.type.named && r.type.id == release::kIconType && !r.name.named) {
                first = std::max<uint32_t>(first, r.name.id + 1u);
            }
        }
        if (first + images.size() > 0x10000) {
            fprintf(stderr, "%s: the icon '%s' has more images than icon ids are left\n", prefix,
                    tool::Shown(icon->second).c_str());
            return 1;
        }
        for (size_t i = 0; i < images.size(); ++i) {
            resources->push_back(Resource{ResourceKey::Id(release::kIconType),
                                          ResourceKey::Id(static_cast<uint16_t>(first + i)),
                                          language,
                                          codePage,
                                          0,
                                          nullptr,
                                          {}});
            SetData(&resources->back(), storage, images[i].bytes);
        }
        group = Find(resources, groupType, groupName);  // the erase moved it
        SetData(group, storage, release::EncodeIconGroup(images, static_cast<uint16_t>(first)));
    }
    return 0;
}

}  // namespace

int ApplyReleaseInputs(const char* prefix, const ReleaseOptions& options, uint16_t language,
                       std::vector<Resource>* resources, std::deque<std::string>* storage) {
    int problems = 0;
    if (options.documents != nullptr) {
        problems += ApplyDocuments(prefix, options.documents, language, resources, storage);
    }
    if (options.version != nullptr) {
        problems += ApplyVersion(prefix, options.version, resources, storage);
    }
    if (options.art != nullptr) {
        problems += ApplyArt(prefix, options.art, resources, storage);
    }
    return problems;
}

std::string DescribeVersion(const std::vector<Resource>& resources) {
    const ResourceKey type = ResourceKey::Id(release::kVersionType);
    const Resource* info = Find(resources, type, nullptr);
    version::Node root;
    std::string why;
    if (info == nullptr || !version::Parse(info->data, info->size, &root, &why) ||
        root.value.size() < version::kFixedInfoSize) {
        return "";
    }
    const unsigned char* fixed = reinterpret_cast<const unsigned char*>(root.value.data());
    uint32_t high = ReadUInt32LE(fixed + version::kProductVersionOffset);
    uint32_t low = ReadUInt32LE(fixed + version::kProductVersionOffset + 4);
    return "version " + version::ProductVersionText(root) + " (" + std::to_string(high >> 16) +
           "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16) + "." +
           std::to_string(low & 0xFFFF) + ")";
}

// ---- zbpack setup extract ----

namespace {

constexpr char kExtractPrefix[] = "zbpack setup extract";

const char kExtractHelp[] =
    "usage: zbpack setup extract SETUP.exe DIR\n"
    "Writes into DIR (made when missing; it must be empty) everything `zbpack setup build`\n"
    "takes, so that the setup can be inspected and made again byte for byte:\n"
    "  DIR/stub.exe          the setup without its payload and dictionary (not for a signed one)\n"
    "  DIR/payload/          the payload's files\n"
    "  DIR/dictionary.ini    the dictionary text, unscrambled\n"
    "  DIR/documents/        the RTF documents\n"
    "  DIR/art/              banner_mic.bmp, title.bmp and setup.ico\n"
    "  DIR/version.txt       the version\n"
    "then prints the build command that makes the setup again. Exit status 1 when the setup is\n"
    "damaged or a file cannot be written, 2 for wrong usage or a DIR that is not empty.\n";

// Creates a new file (never one that is there, nor through a link) and writes bytes.
bool WriteNewFile(const std::string& path, const void* data, size_t size) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
    if (fd < 0) {
        fprintf(stderr, "%s: %s: %s\n", kExtractPrefix, tool::Shown(path).c_str(), strerror(errno));
        return false;
    }
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(fd, at, size);
        if (written <= 0) {
            fprintf(stderr, "%s: %s: %s\n", kExtractPrefix, tool::Shown(path).c_str(),
                    strerror(errno));
            close(fd);
            return false;
        }
        at += written;
        size -= static_cast<size_t>(written);
    }
    if (close(fd) != 0) {
        fprintf(stderr, "%s: %s: %s\n", kExtractPrefix, tool::Shown(path).c_str(), strerror(errno));
        return false;
    }
    return true;
}

bool WriteNewFile(const std::string& path, const std::string& bytes) {
    return WriteNewFile(path, bytes.data(), bytes.size());
}

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0) {
        fprintf(stderr, "%s: %s: %s\n", kExtractPrefix, tool::Shown(path).c_str(), strerror(errno));
        return false;
    }
    return true;
}

// The payload archive's entries into folder, but the dictionary container, which the build
// makes from the text. Every name must be one Windows stores as given, and no two the same.
bool ExtractPayload(const Resource& archive, const std::string& folder) {
    const unsigned char* bytes = archive.data;
    uint64_t size = archive.size;
    uint64_t at = 0;
    std::vector<std::string> written;
    while (at < size) {
        if (size - at < archive::kLengthFieldsSize) {
            fprintf(stderr, "%s: the payload archive is damaged at byte %llu\n", kExtractPrefix,
                    static_cast<unsigned long long>(at));
            return false;
        }
        uint32_t dataLength = ReadUInt32LE(bytes + at);
        uint32_t headerLength = ReadUInt32LE(bytes + at + 4);
        if (headerLength < archive::kLengthFieldsSize ||
            headerLength - archive::kLengthFieldsSize > archive::kMaxNameFieldSize ||
            dataLength > archive::kMaxDataLength ||
            static_cast<uint64_t>(headerLength) + dataLength > size - at) {
            fprintf(stderr, "%s: the payload archive is damaged at byte %llu\n", kExtractPrefix,
                    static_cast<unsigned long long>(at));
            return false;
        }
        const char* field = reinterpret_cast<const char*>(bytes + at + archive::kLengthFieldsSize);
        size_t fieldSize = headerLength - archive::kLengthFieldsSize;
        size_t nameLength = strnlen(field, fieldSize);
        std::string name(field, nameLength);
        const char* why = nameLength == fieldSize ? "its name is not terminated"
                                                  : names::WhyNotStored(name.c_str());
        if (why != nullptr) {
            fprintf(stderr, "%s: an entry of the payload archive cannot be written: %s\n",
                    kExtractPrefix, why);
            return false;
        }
        for (const std::string& earlier : written) {
            if (names::SameFile(earlier.c_str(), name.c_str())) {
                fprintf(stderr, "%s: the payload archive holds '%s' twice\n", kExtractPrefix,
                        tool::Shown(name).c_str());
                return false;
            }
        }
        written.push_back(name);
        if (text::Upper(name) != kDictionaryResourceName &&
            !WriteNewFile(folder + "/" + name, bytes + at + headerLength, dataLength)) {
            return false;
        }
        at += static_cast<uint64_t>(headerLength) + dataLength;
    }
    return true;
}

// The dictionary text of a container whose length and checksum hold.
bool UnscrambledText(const Resource& container, std::string* text) {
    if (container.size < kDictionaryHeaderSize) {
        return false;
    }
    uint32_t length = ReadUInt32LE(container.data);
    uint32_t checksum = ReadUInt32LE(container.data + 4);
    if (length != container.size - kDictionaryHeaderSize) {
        return false;
    }
    text->assign(reinterpret_cast<const char*>(container.data) + kDictionaryHeaderSize, length);
    uint32_t sum = 0;
    for (unsigned char c : *text) {
        sum += c;
    }
    if (sum != checksum) {
        return false;
    }
    ScrambleDictionaryBytes(reinterpret_cast<unsigned char*>(&(*text)[0]), text->size(), 0);
    return true;
}

class FileSink : public pe::Sink {
public:
    explicit FileSink(FILE* file) : file_(file) {}
    int Write(const void* data, size_t size) override {
        return fwrite(data, 1, size, file_) == size ? 1 : 0;
    }

private:
    FILE* file_;
};

bool WriteStub(const std::string& bytes, const pe::Image& image, std::vector<Resource> resources,
               const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
    FILE* file = fd < 0 ? nullptr : fdopen(fd, "wb");
    if (file == nullptr) {
        fprintf(stderr, "%s: %s: %s\n", kExtractPrefix, tool::Shown(path).c_str(), strerror(errno));
        return false;
    }
    FileSink sink(file);
    std::string why;
    int ok = pe::WriteWithResources(
        Bytes(bytes), bytes.size(), image, std::move(resources), sink,
        [file](uint32_t offset, uint32_t value) {
            uint8_t field[4];
            WriteUInt32LE(field, value);
            return fseek(file, offset, SEEK_SET) == 0 && fwrite(field, 1, 4, file) == 4 ? 1 : 0;
        },
        &why);
    if (fclose(file) != 0 && ok) {
        ok = 0;
        why = strerror(errno);
    }
    if (!ok) {
        fprintf(stderr, "%s: %s not written: %s\n", kExtractPrefix, tool::Shown(path).c_str(),
                why.c_str());
    }
    return ok != 0;
}

}  // namespace

int RunExtract(int argc, char** argv) {
    if (auto done = tool::HelpOrUsage(argc, argv, kExtractHelp, argc == 3)) {
        return *done;
    }
    const std::string setupPath = argv[1];
    const std::string dir = argv[2];
    std::string bytes;
    if (!tool::ReadWholeFile(setupPath.c_str(), &bytes)) {
        fprintf(stderr, "%s: %s cannot be read\n", kExtractPrefix, tool::Shown(setupPath).c_str());
        return kExitFailed;
    }
    pe::Image image;
    std::vector<Resource> resources;
    std::string why;
    if (!pe::ParseImage(Bytes(bytes), bytes.size(), &image, &why) ||
        !pe::ReadResources(Bytes(bytes), bytes.size(), image, &resources, &why)) {
        fprintf(stderr, "%s: %s: %s\n", kExtractPrefix, tool::Shown(setupPath).c_str(),
                why.c_str());
        return kExitFailed;
    }
    const ResourceKey dataType = ResourceKey::Name(text::Upper(kPlainExtractType).c_str());
    const ResourceKey archiveName = ResourceKey::Name(kArchiveResourceName);
    const ResourceKey dictionaryName = ResourceKey::Name(kDictionaryResourceName);
    const Resource* archive = Find(resources, dataType, &archiveName);
    const Resource* dictionary = Find(resources, dataType, &dictionaryName);
    std::string dictionaryText;
    if (archive == nullptr || dictionary == nullptr) {
        fprintf(stderr, "%s: %s carries no payload and dictionary (a stub?)\n", kExtractPrefix,
                tool::Shown(setupPath).c_str());
        return kExitFailed;
    }
    if (!UnscrambledText(*dictionary, &dictionaryText)) {
        fprintf(stderr, "%s: the dictionary container of %s fails its length or checksum test\n",
                kExtractPrefix, tool::Shown(setupPath).c_str());
        return kExitFailed;
    }
    std::string versionLine = DescribeVersion(resources);
    version::Node root;
    const ResourceKey versionType = ResourceKey::Id(release::kVersionType);
    const Resource* info = Find(resources, versionType, nullptr);
    std::string versionText;
    if (info != nullptr && version::Parse(info->data, info->size, &root, &why)) {
        versionText = version::ProductVersionText(root);
    }
    // DIR is new or empty: what is written is the setup's alone.
    struct stat info0;
    if (stat(dir.c_str(), &info0) == 0) {
        DIR* folder = opendir(dir.c_str());
        int entries = 0;
        while (folder != nullptr && readdir(folder) != nullptr) {
            ++entries;
        }
        if (folder != nullptr) {
            closedir(folder);
        }
        if (folder == nullptr || entries > 2) {
            fprintf(stderr, "%s: '%s' is not an empty folder\n", kExtractPrefix,
                    tool::Shown(dir).c_str());
            return kExitUsage;
        }
    } else if (!MakeFolder(dir)) {
        return kExitFailed;
    }

    bool ok = MakeFolder(dir + "/payload") && ExtractPayload(*archive, dir + "/payload") &&
              WriteNewFile(dir + "/dictionary.ini", dictionaryText) &&
              MakeFolder(dir + "/documents") && MakeFolder(dir + "/art");
    const ResourceKey rtf = ResourceKey::Name(release::kDocumentType);
    for (const char* name : release::kDocumentNames) {
        const ResourceKey key = ResourceKey::Name(name);
        if (const Resource* document = Find(resources, rtf, &key); ok && document != nullptr) {
            ok = WriteNewFile(dir + "/documents/" + name, DataOf(*document));
        }
    }
    const ResourceKey bitmapType = ResourceKey::Id(release::kBitmapType);
    for (const auto& [file, id] :
         {std::make_pair(release::kMicrophoneFile, release::kMicrophoneBitmap),
          std::make_pair(release::kTitleFile, release::kTitleBitmap)}) {
        const ResourceKey key = ResourceKey::Id(id);
        if (const Resource* picture = Find(resources, bitmapType, &key); ok && picture != nullptr) {
            std::string bmp = release::DibToBitmap(DataOf(*picture));
            ok = !bmp.empty() && WriteNewFile(dir + "/art/" + file, bmp);
        }
    }
    const ResourceKey groupType = ResourceKey::Id(release::kGroupIconType);
    const ResourceKey groupName = ResourceKey::Name(release::kIconGroup);
    if (const Resource* group = Find(resources, groupType, &groupName); ok && group != nullptr) {
        std::vector<release::IconImage> images;
        std::vector<uint16_t> ids;
        ok = release::ParseIconGroup(DataOf(*group), &images, &ids);
        const ResourceKey iconType = ResourceKey::Id(release::kIconType);
        for (size_t i = 0; ok && i < images.size(); ++i) {
            const ResourceKey key = ResourceKey::Id(ids[i]);
            const Resource* icon = Find(resources, iconType, &key);
            ok = icon != nullptr;
            if (ok) {
                images[i].bytes = DataOf(*icon);
            }
        }
        ok =
            ok && WriteNewFile(dir + "/art/" + release::kIconFile, release::EncodeIconFile(images));
    }
    if (ok && !versionText.empty()) {
        ok = WriteNewFile(dir + "/version.txt", versionText + "\n");
    }
    // The stub: every resource but the two data ones, laid out as the build lays them out.
    bool stub = false;
    if (ok && pe::CheckRewritable(image, bytes.size(), &why)) {
        std::vector<Resource> stubResources;
        for (const Resource& resource : resources) {
            if (!(resource.type == dataType)) {
                stubResources.push_back(resource);
            }
        }
        ok = WriteStub(bytes, image, std::move(stubResources), dir + "/stub.exe");
        stub = ok;
    } else if (ok) {
        fprintf(stderr, "%s: note: no stub.exe: %s\n", kExtractPrefix, why.c_str());
    }
    if (!ok) {
        fprintf(stderr, "%s: %s was not extracted completely\n", kExtractPrefix,
                tool::Shown(setupPath).c_str());
        return kExitFailed;
    }
    printf("%s: %s into %s%s%s\n", kExtractPrefix, tool::Shown(setupPath).c_str(),
           tool::Shown(dir).c_str(), versionLine.empty() ? "" : ", ", versionLine.c_str());
    printf(
        "made again with:\n  zbpack setup build --stub %s --payload %s/payload \\\n"
        "      --dictionary %s/dictionary.ini --documents %s/documents --art %s/art%s%s "
        "--out OUT.exe\n",
        stub ? tool::Shown(dir + "/stub.exe").c_str() : "STUB.exe", tool::Shown(dir).c_str(),
        tool::Shown(dir).c_str(), tool::Shown(dir).c_str(), tool::Shown(dir).c_str(),
        versionText.empty() ? "" : " --version ", versionText.c_str());
    return kExitOk;
}
