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
#include "tools/PeRead.h"
#include "tools/PeWrite.h"
#include "tools/ReleaseInputs.h"
#include "tools/ToolSupport.h"
#include "tools/VersionInfo.h"

namespace {

using pe::Resource;
using pe::ResourceKey;

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

// The type of the two data resources, upper-cased as windres stores a named type.
ResourceKey DataType() {
    return ResourceKey::Name(text::Upper(kPlainExtractType).c_str());
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

// Where an entry of a release folder goes: into found when it is a regular file of a known name
// that no other entry took. False, the problem reported, otherwise.
bool SortReleaseEntry(const char* prefix, const char* what, const char* folder,
                      const std::string& name, const std::vector<std::string>& known,
                      const std::string& list, std::map<std::string, std::string>* found) {
    std::string path = std::string(folder) + "/" + name;
    struct stat info;
    auto match = std::find_if(known.begin(), known.end(), [&name](const std::string& k) {
        return text::Upper(k) == text::Upper(name);
    });
    if (lstat(path.c_str(), &info) != 0) {
        fprintf(stderr, "%s: '%s' in the %s folder cannot be read: %s\n", prefix,
                tool::Shown(name).c_str(), what, strerror(errno));
    } else if (S_ISDIR(info.st_mode)) {
        fprintf(stderr, "%s: the %s folder holds a folder, '%s'\n", prefix, what,
                tool::Shown(name).c_str());
    } else if (match == known.end()) {
        fprintf(stderr, "%s: '%s' in the %s folder is none of %s\n", prefix,
                tool::Shown(name).c_str(), what, list.c_str());
    } else if (!S_ISREG(info.st_mode)) {
        fprintf(stderr, "%s: '%s' in the %s folder is not a regular file\n", prefix,
                tool::Shown(name).c_str(), what);
    } else if (found->count(*match) != 0) {
        fprintf(stderr, "%s: '%s' and '%s' in the %s folder are the same name to Windows\n", prefix,
                tool::Shown((*found)[*match].substr(strlen(folder) + 1)).c_str(),
                tool::Shown(name).c_str(), what);
    } else {
        (*found)[*match] = path;
        return true;
    }
    return false;
}

// The files of a release folder: each entry a regular file of one of the known names (without
// regard to case), no folder, no two files for one name. *found maps a known name to the file's
// path. Returns true when it found no problem.
bool ListReleaseFolder(const char* prefix, const char* what, const char* folder,
                       const std::vector<std::string>& known,
                       std::map<std::string, std::string>* found, int* problems) {
    std::vector<std::string> names;
    if (!tool::ListFolder(folder, &names)) {
        fprintf(stderr, "%s: the %s folder '%s' cannot be opened: %s\n", prefix, what,
                tool::Shown(folder).c_str(), strerror(errno));
        ++*problems;
        return false;
    }
    std::string list;
    for (const std::string& name : known) {
        list += (list.empty() ? "" : ", ") + name;
    }
    bool ok = true;
    for (const std::string& name : names) {
        if (!SortReleaseEntry(prefix, what, folder, name, known, list, found)) {
            ++*problems;
            ok = false;
        }
    }
    return ok;
}

bool ApplyDocuments(const char* prefix, const char* folder, uint16_t language,
                    std::vector<Resource>* resources, std::deque<std::string>* storage,
                    int* problems) {
    std::vector<std::string> known(std::begin(release::kDocumentNames),
                                   std::end(release::kDocumentNames));
    std::map<std::string, std::string> found;
    bool ok = ListReleaseFolder(prefix, "documents", folder, known, &found, problems);
    const ResourceKey type = ResourceKey::Name(release::kDocumentType);
    std::vector<std::pair<std::string, std::string>> documents;
    for (const auto& [name, path] : found) {
        std::string bytes;
        std::string why = !tool::ReadWholeFile(path.c_str(), &bytes)
                              ? "cannot be read"
                              : release::CheckDocument(bytes);
        if (!why.empty()) {
            fprintf(stderr, "%s: the document '%s' %s\n", prefix, tool::Shown(path).c_str(),
                    why.c_str());
            ++*problems;
            ok = false;
            continue;
        }
        documents.emplace_back(name, std::move(bytes));
    }
    if (!ok) {
        return false;
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
    return true;
}

bool ApplyVersion(const char* prefix, const char* text, std::vector<Resource>* resources,
                  std::deque<std::string>* storage) {
    version::Numbers numbers;
    std::string why;
    if (!version::ParseNumbers(text, &numbers, &why)) {
        fprintf(stderr, "%s: --version %s\n", prefix, why.c_str());
        return false;
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
        return false;
    }
    if (manifest == nullptr ||
        !version::StampManifest(DataOf(*manifest), numbers.Dotted(), &stamped)) {
        fprintf(stderr, "%s: the stub's manifest has no assemblyIdentity version\n", prefix);
        return false;
    }
    SetData(info, storage, version::Encode(root));
    SetData(manifest, storage, stamped);
    return true;
}

// The two pictures of the art folder, each converted to the stub's bitmap it replaces.
bool ReadPictures(const char* prefix, const std::map<std::string, std::string>& found,
                  std::vector<Resource>* resources,
                  std::vector<std::pair<Resource*, std::string>>* pictures, int* problems) {
    const ResourceKey bitmapType = ResourceKey::Id(release::kBitmapType);
    bool ok = true;
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
            ++*problems;
            ok = false;
            continue;
        }
        pictures->emplace_back(stubPicture, std::move(dib));
    }
    return ok;
}

// The images of the art folder's icon, for the stub's icon group group.
bool ReadIcon(const char* prefix, const std::string& path, const Resource* group,
              std::vector<release::IconImage>* images, int* problems) {
    std::string bytes;
    std::string why = !tool::ReadWholeFile(path.c_str(), &bytes) ? "cannot be read"
                      : group == nullptr ? "has no icon group SETUP in the stub to replace"
                                         : release::ParseIcon(bytes, images);
    if (!why.empty()) {
        fprintf(stderr, "%s: the icon '%s' %s\n", prefix, tool::Shown(path).c_str(), why.c_str());
        ++*problems;
        return false;
    }
    return true;
}

// The old group's icons go; the new ones are numbered as the resource compiler numbers them,
// from 1, after any icon that is not the group's.
bool ReplaceIcons(const char* prefix, const std::string& path,
                  const std::vector<release::IconImage>& images, std::vector<Resource>* resources,
                  std::deque<std::string>* storage, int* problems) {
    const ResourceKey groupType = ResourceKey::Id(release::kGroupIconType);
    const ResourceKey groupName = ResourceKey::Name(release::kIconGroup);
    Resource* group = Find(resources, groupType, groupName);
    std::vector<release::IconImage> entries;
    std::vector<uint16_t> ids;
    release::ParseIconGroup(DataOf(*group), &entries, &ids);
    uint16_t language = group->language;
    uint32_t codePage = group->codePage;
    auto isOldIcon = [&ids](const Resource& r) {
        return !r.type.named && r.type.id == release::kIconType &&
               std::find(ids.begin(), ids.end(), r.name.id) != ids.end();
    };
    resources->erase(std::remove_if(resources->begin(), resources->end(), isOldIcon),
                     resources->end());
    uint32_t first = 1;
    for (const Resource& r : *resources) {
        if (!r.type.named && r.type.id == release::kIconType && !r.name.named) {
            first = std::max<uint32_t>(first, r.name.id + 1u);
        }
    }
    if (first + images.size() > 0x10000) {
        fprintf(stderr, "%s: the icon '%s' has more images than icon ids are left\n", prefix,
                tool::Shown(path).c_str());
        ++*problems;
        return false;
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
    return true;
}

bool ApplyArt(const char* prefix, const char* folder, std::vector<Resource>* resources,
              std::deque<std::string>* storage, int* problems) {
    std::map<std::string, std::string> found;
    bool ok = ListReleaseFolder(prefix, "art", folder,
                                {release::kMicrophoneFile, release::kTitleFile, release::kIconFile},
                                &found, problems);
    std::vector<std::pair<Resource*, std::string>> pictures;
    ok = ReadPictures(prefix, found, resources, &pictures, problems) && ok;
    std::vector<release::IconImage> images;
    auto icon = found.find(release::kIconFile);
    if (icon != found.end()) {
        const Resource* group = Find(resources, ResourceKey::Id(release::kGroupIconType),
                                     ResourceKey::Name(release::kIconGroup));
        ok = ReadIcon(prefix, icon->second, group, &images, problems) && ok;
    }
    if (!ok) {
        return false;
    }
    for (auto& [resource, dib] : pictures) {
        SetData(resource, storage, std::move(dib));
    }
    return images.empty() ||
           ReplaceIcons(prefix, icon->second, images, resources, storage, problems);
}

}  // namespace

bool ApplyReleaseInputs(const char* prefix, const ReleaseOptions& options, uint16_t language,
                        std::vector<Resource>* resources, std::deque<std::string>* storage,
                        int* problems) {
    int before = *problems;
    if (options.documents != nullptr) {
        ApplyDocuments(prefix, options.documents, language, resources, storage, problems);
    }
    if (options.version != nullptr && !ApplyVersion(prefix, options.version, resources, storage)) {
        ++*problems;
    }
    if (options.art != nullptr) {
        ApplyArt(prefix, options.art, resources, storage, problems);
    }
    return *problems == before;
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

bool WriteStub(const std::string& bytes, const pe::Image& image, std::vector<Resource> resources,
               const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
    FILE* file = fd < 0 ? nullptr : fdopen(fd, "wb");
    if (file == nullptr) {
        fprintf(stderr, "%s: %s: %s\n", kExtractPrefix, tool::Shown(path).c_str(), strerror(errno));
        return false;
    }
    std::string why;
    bool ok = pe::WriteWithResourcesToFile(Bytes(bytes), image, std::move(resources), file, &why);
    if (fclose(file) != 0 && ok) {
        ok = false;
        why = strerror(errno);
    }
    if (!ok) {
        fprintf(stderr, "%s: %s not written: %s\n", kExtractPrefix, tool::Shown(path).c_str(),
                why.c_str());
    }
    return ok;
}

// What a setup carries, found in its resources.
struct SetupParts {
    std::string bytes;
    pe::Image image;
    std::vector<Resource> resources;
    const Resource* archive = nullptr;
    std::string dictionaryText;
    std::string versionLine;  // as zbpack setup list prints it
    std::string versionText;  // the text --version takes, or ""
};

// Reads the setup, its payload, its dictionary text and its version. False when it is not a
// packed setup or its dictionary is damaged.
bool ReadSetup(const std::string& setupPath, SetupParts* setup) {
    if (!tool::ReadWholeFile(setupPath.c_str(), &setup->bytes)) {
        fprintf(stderr, "%s: %s cannot be read\n", kExtractPrefix, tool::Shown(setupPath).c_str());
        return false;
    }
    std::string why;
    const uint8_t* bytes = Bytes(setup->bytes);
    if (!pe::ParseImage(bytes, setup->bytes.size(), &setup->image, &why) ||
        !pe::ReadResources(bytes, setup->bytes.size(), setup->image, &setup->resources, &why)) {
        fprintf(stderr, "%s: %s: %s\n", kExtractPrefix, tool::Shown(setupPath).c_str(),
                why.c_str());
        return false;
    }
    const ResourceKey dataType = DataType();
    const ResourceKey archiveName = ResourceKey::Name(kArchiveResourceName);
    const ResourceKey dictionaryName = ResourceKey::Name(kDictionaryResourceName);
    setup->archive = Find(setup->resources, dataType, &archiveName);
    const Resource* dictionary = Find(setup->resources, dataType, &dictionaryName);
    if (setup->archive == nullptr || dictionary == nullptr) {
        fprintf(stderr, "%s: %s carries no payload and dictionary (a stub?)\n", kExtractPrefix,
                tool::Shown(setupPath).c_str());
        return false;
    }
    if (!UnscrambledText(*dictionary, &setup->dictionaryText)) {
        fprintf(stderr, "%s: the dictionary container of %s fails its length or checksum test\n",
                kExtractPrefix, tool::Shown(setupPath).c_str());
        return false;
    }
    setup->versionLine = DescribeVersion(setup->resources);
    version::Node root;
    const ResourceKey versionType = ResourceKey::Id(release::kVersionType);
    const Resource* info = Find(setup->resources, versionType, nullptr);
    if (info != nullptr && version::Parse(info->data, info->size, &root, &why)) {
        setup->versionText = version::ProductVersionText(root);
    }
    return true;
}

// DIR is new or empty: what is written is the setup's alone. Returns the exit status.
int PrepareFolder(const std::string& dir) {
    struct stat info;
    if (stat(dir.c_str(), &info) != 0) {
        return MakeFolder(dir) ? kExitOk : kExitFailed;
    }
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
    return kExitOk;
}

bool WriteDocuments(const std::vector<Resource>& resources, const std::string& dir) {
    const ResourceKey rtf = ResourceKey::Name(release::kDocumentType);
    for (const char* name : release::kDocumentNames) {
        const ResourceKey key = ResourceKey::Name(name);
        const Resource* document = Find(resources, rtf, &key);
        if (document != nullptr && !WriteNewFile(dir + "/documents/" + name, DataOf(*document))) {
            return false;
        }
    }
    return true;
}

bool WritePictures(const std::vector<Resource>& resources, const std::string& dir) {
    const ResourceKey bitmapType = ResourceKey::Id(release::kBitmapType);
    for (const auto& [file, id] :
         {std::make_pair(release::kMicrophoneFile, release::kMicrophoneBitmap),
          std::make_pair(release::kTitleFile, release::kTitleBitmap)}) {
        const ResourceKey key = ResourceKey::Id(id);
        if (const Resource* picture = Find(resources, bitmapType, &key); picture != nullptr) {
            std::string bmp = release::DibToBitmap(DataOf(*picture));
            if (bmp.empty() || !WriteNewFile(dir + "/art/" + file, bmp)) {
                return false;
            }
        }
    }
    return true;
}

bool WriteIcon(const std::vector<Resource>& resources, const std::string& dir) {
    const ResourceKey groupType = ResourceKey::Id(release::kGroupIconType);
    const ResourceKey groupName = ResourceKey::Name(release::kIconGroup);
    const Resource* group = Find(resources, groupType, &groupName);
    if (group == nullptr) {
        return true;
    }
    std::vector<release::IconImage> images;
    std::vector<uint16_t> ids;
    if (!release::ParseIconGroup(DataOf(*group), &images, &ids)) {
        return false;
    }
    const ResourceKey iconType = ResourceKey::Id(release::kIconType);
    for (size_t i = 0; i < images.size(); ++i) {
        const ResourceKey key = ResourceKey::Id(ids[i]);
        const Resource* icon = Find(resources, iconType, &key);
        if (icon == nullptr) {
            return false;
        }
        images[i].bytes = DataOf(*icon);
    }
    return WriteNewFile(dir + "/art/" + release::kIconFile, release::EncodeIconFile(images));
}

// Everything but the stub, each into its place in dir.
bool WriteInputs(const SetupParts& setup, const std::string& dir) {
    return MakeFolder(dir + "/payload") && ExtractPayload(*setup.archive, dir + "/payload") &&
           WriteNewFile(dir + "/dictionary.ini", setup.dictionaryText) &&
           MakeFolder(dir + "/documents") && MakeFolder(dir + "/art") &&
           WriteDocuments(setup.resources, dir) && WritePictures(setup.resources, dir) &&
           WriteIcon(setup.resources, dir) &&
           (setup.versionText.empty() ||
            WriteNewFile(dir + "/version.txt", setup.versionText + "\n"));
}

// The stub: every resource but the two data ones, laid out as the build lays them out. *written
// tells whether there is one: a setup that cannot take a new resource section has none, and
// that is told but no failure.
bool ExtractStub(const SetupParts& setup, const std::string& dir, bool* written) {
    std::string why;
    *written = false;
    if (!pe::CheckRewritable(setup.image, setup.bytes.size(), &why)) {
        fprintf(stderr, "%s: note: no stub.exe: %s\n", kExtractPrefix, why.c_str());
        return true;
    }
    const ResourceKey dataType = DataType();
    std::vector<Resource> stubResources;
    for (const Resource& resource : setup.resources) {
        if (!(resource.type == dataType)) {
            stubResources.push_back(resource);
        }
    }
    *written = WriteStub(setup.bytes, setup.image, std::move(stubResources), dir + "/stub.exe");
    return *written;
}

void PrintRebuild(const std::string& setupPath, const std::string& dir, const SetupParts& setup,
                  bool stub) {
    printf("%s: %s into %s%s%s\n", kExtractPrefix, tool::Shown(setupPath).c_str(),
           tool::Shown(dir).c_str(), setup.versionLine.empty() ? "" : ", ",
           setup.versionLine.c_str());
    printf(
        "made again with:\n  zbpack setup build --stub %s --payload %s/payload \\\n"
        "      --dictionary %s/dictionary.ini --documents %s/documents --art %s/art%s%s "
        "--out OUT.exe\n",
        stub ? tool::Shown(dir + "/stub.exe").c_str() : "STUB.exe", tool::Shown(dir).c_str(),
        tool::Shown(dir).c_str(), tool::Shown(dir).c_str(), tool::Shown(dir).c_str(),
        setup.versionText.empty() ? "" : " --version ", setup.versionText.c_str());
}

}  // namespace

int RunExtract(int argc, char** argv) {
    if (auto done = tool::HelpOrUsage(argc, argv, kExtractHelp, argc == 3)) {
        return *done;
    }
    const std::string setupPath = argv[1];
    const std::string dir = argv[2];
    SetupParts setup;
    if (!ReadSetup(setupPath, &setup)) {
        return kExitFailed;
    }
    if (int status = PrepareFolder(dir); status != kExitOk) {
        return status;
    }
    bool stub = false;
    if (!WriteInputs(setup, dir) || !ExtractStub(setup, dir, &stub)) {
        fprintf(stderr, "%s: %s was not extracted completely\n", kExtractPrefix,
                tool::Shown(setupPath).c_str());
        return kExitFailed;
    }
    PrintRebuild(setupPath, dir, setup, stub);
    return kExitOk;
}
