#include "tools/ArchiveWriter.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "package/ArchiveFormat.h"
#include "platform/FileNames.h"
#include "platform/StdioStreams.h"
#include "platform/Text.h"
#include "tools/Commands.h"
#include "tools/ToolSupport.h"

namespace archive {

namespace {

std::string LastComponent(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Content is copied in blocks of this size: a block that stays in the processor's cache costs
// less than reading a whole file into a large buffer, which the system maps in page by page.
constexpr size_t kCopyBlockSize = 64 * 1024;

}  // namespace

int CheckInput(const char* prefix, const char* path, Input* input) {
    input->path = path;
    input->name = LastComponent(path);
    if (const char* why = names::WhyNotStored(input->name.c_str())) {
        fprintf(stderr, "%s: %s: the name '%s' %s\n", prefix, tool::Shown(path).c_str(),
                tool::Shown(input->name).c_str(), why);
        return kExitUsage;
    }
    struct stat info;
    if (stat(path, &info) != 0) {
        fprintf(stderr, "%s: %s: %s\n", prefix, tool::Shown(path).c_str(), strerror(errno));
        return kExitFailed;
    }
    if (!S_ISREG(info.st_mode)) {
        fprintf(stderr, "%s: %s: not a regular file\n", prefix, tool::Shown(path).c_str());
        return kExitUsage;
    }
    if (info.st_size > static_cast<off_t>(kMaxDataLength)) {
        fprintf(stderr, "%s: %s: %lld bytes, more than the setup's limit of %u\n", prefix,
                tool::Shown(path).c_str(), static_cast<long long>(info.st_size), kMaxDataLength);
        return kExitUsage;
    }
    input->size = static_cast<uint32_t>(info.st_size);
    input->upperName = text::Upper(input->name);
    return kExitOk;
}

Input MemoryInput(const char* name, std::string content) {
    Input input;
    input.name = name;
    input.upperName = text::Upper(input.name);
    input.size = static_cast<uint32_t>(content.size());
    input.content = std::move(content);
    return input;
}

bool SortInputs(const char* prefix, std::vector<Input>* inputs) {
    std::stable_sort(inputs->begin(), inputs->end(), [](const Input& a, const Input& b) {
        return strcmp(a.upperName.c_str(), b.upperName.c_str()) < 0;
    });
    // The names as the file system compares them; the first of each is the one named.
    std::map<std::string, size_t> folded;
    bool sorted = true;
    for (size_t i = 0; i < inputs->size(); ++i) {
        const Input& input = (*inputs)[i];
        std::string key = input.name;
        for (char& c : key) {
            c = static_cast<char>(names::Fold(static_cast<unsigned char>(c)));
        }
        auto first = folded.emplace(key, i);
        if (!first.second) {
            const Input& a = (*inputs)[first.first->second];
            fprintf(stderr, "%s: %s and %s: names that differ only in letter case\n", prefix,
                    tool::Shown(a.path.empty() ? a.name : a.path).c_str(),
                    tool::Shown(input.path.empty() ? input.name : input.path).c_str());
            sorted = false;
        }
    }
    return sorted;
}

uint64_t ArchiveLength(const std::vector<Input>& inputs) {
    uint64_t length = 0;
    for (const Input& input : inputs) {
        length += kHeaderLength + static_cast<uint64_t>(input.size);
    }
    return length;
}

bool WriteRecords(const char* prefix, const std::vector<Input>& inputs,
                  const std::function<bool(const void*, size_t)>& write) {
    std::vector<unsigned char> block(kCopyBlockSize);
    for (const Input& input : inputs) {
        unsigned char header[kHeaderLength];
        EncodeRecordHeader(input.name.c_str(), input.size, header);
        if (!write(header, sizeof header)) {
            return false;
        }
        if (input.path.empty()) {
            if (!write(input.content.data(), input.content.size())) {
                return false;
            }
            continue;
        }
        std::unique_ptr<ReadStream> source = OpenStdioRead(input.path.c_str());
        if (source == nullptr) {
            fprintf(stderr, "%s: %s: %s\n", prefix, tool::Shown(input.path).c_str(),
                    strerror(errno));
            return false;
        }
        // More or fewer bytes than the header says show a file that changed since it was checked.
        uint64_t copied = 0;
        size_t got;
        while (copied <= input.size && (got = source->Read(block.data(), block.size())) > 0) {
            copied += got;
            if (copied <= input.size && !write(block.data(), got)) {
                return false;
            }
        }
        if (copied != input.size) {
            fprintf(stderr, "%s: %s: changed while it was read\n", prefix,
                    tool::Shown(input.path).c_str());
            return false;
        }
    }
    return true;
}

}  // namespace archive
