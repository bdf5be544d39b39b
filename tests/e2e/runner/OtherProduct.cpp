#include "runner/OtherProduct.h"

#include <cstdio>
#include <vector>

#include "platform/TrueTypeName.h"

namespace e2e {
namespace other {

namespace {

std::vector<std::string> InView(std::vector<std::string> args) {
    if (!CurrentTarget().regView.empty()) {
        args.push_back(CurrentTarget().regView);
    }
    return args;
}

}  // namespace

std::string LibraryBytes() {
    return ReadFile(std::string(ZB_WIN64_BUILD) + "/e2e/other/MFC71.dll");
}

bool Plant(const WinePrefix& prefix) {
    std::string bytes = LibraryBytes();
    FILE* file = bytes.empty() ? nullptr : fopen(prefix.DriveC("windows/MFC71.dll").c_str(), "wb");
    bool written = file != nullptr && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr) {
        written = fclose(file) == 0 && written;
    }
    RunResult count = prefix.Run(
        InView({"reg", "add", kSharedDllsKey, "/v", kLibrary, "/t", "REG_DWORD", "/d", "1", "/f"}),
        RunOptions{"", "", 60});
    if (!written || count.exitCode != 0) {
        fprintf(stderr, "e2e: cannot put the other product's MFC71.dll in place (%zu bytes):\n%s\n",
                bytes.size(), count.Describe().c_str());
        return false;
    }
    return true;
}

std::string Count(const WinePrefix& prefix, const std::string& key, const std::string& value) {
    RunResult run = prefix.Run(InView({"reg", "query", key, "/v", value}), RunOptions{"", "", 30});
    size_t type = run.output.find("REG_DWORD");
    if (run.exitCode != 0 || type == std::string::npos) {
        return "<missing>";
    }
    size_t start = run.output.find_first_not_of(' ', type + 9);
    size_t end = run.output.find_first_of("\r\n", start);
    return run.output.substr(start, end - start);
}

std::string FontFullName(const std::string& unixPath) {
    std::string bytes = ReadFile(unixPath);
    char name[font::kFullNameSize];
    if (!font::FullName(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), name,
                        sizeof name)) {
        return "<unreadable font " + unixPath + ">";
    }
    return name;
}

}  // namespace other
}  // namespace e2e
