#include "fuzz/FuzzSupport.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void FuzzFail(const char* what, const std::string& detail) {
    fprintf(stderr, "FUZZ: %s %s\n", what, detail.c_str());
    abort();
}

int CountingMessageBoxes::Show(WindowHandle, const char* text, const char*, unsigned) {
    ++count;
    lastText = text;
    return kIdOk;
}

namespace {

FuzzJail MakeJail() {
    const char* temp = getenv("TMPDIR");
    std::string pattern =
        std::string(temp != nullptr && *temp != '\0' ? temp : "/tmp") + "/zb-fuzz-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        FuzzFail("cannot make the scratch folder", pattern);
    }
    FuzzJail jail{name.data(), std::string(name.data()) + "/work"};
    if (mkdir(jail.work.c_str(), 0700) != 0) {
        FuzzFail("cannot make the work folder", jail.work);
    }
    return jail;
}

void RemoveJail() {
    const FuzzJail& jail = Jail();
    ClearWorkFolder();
    rmdir(jail.work.c_str());
    rmdir(jail.jail.c_str());
}

}  // namespace

const FuzzJail& Jail() {
    static const FuzzJail jail = [] {
        FuzzJail made = MakeJail();
        return made;
    }();
    static const bool registered = atexit(RemoveJail) == 0;
    (void)registered;
    return jail;
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        FuzzFail("cannot list", folder);
    }
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat info;
        if (lstat((folder + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            name += '/';
        }
        names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void ClearWorkFolder() {
    const std::string& work = Jail().work;
    for (const std::string& name : ListFolder(work)) {
        std::string path = work + "/" + name;
        if (unlink(path.c_str()) != 0) {
            FuzzFail("cannot remove", path);
        }
    }
}

void CheckNothingOutsideWork() {
    std::vector<std::string> outside = ListFolder(Jail().jail);
    if (outside.size() != 1 || outside[0] != "work/") {
        std::string names;
        for (const std::string& name : outside) {
            names += name + " ";
        }
        FuzzFail("written outside the work folder:", names);
    }
    for (const std::string& name : ListFolder(Jail().work)) {
        if (!name.empty() && name.back() == '/') {
            FuzzFail("a folder was made in the work folder:", name);
        }
    }
}

std::vector<std::string> SplitFields(const uint8_t* data, size_t size, char separator,
                                     size_t fields) {
    std::vector<std::string> out;
    size_t start = 0;
    while (out.size() + 1 < fields) {
        size_t at = start;
        while (at < size && data[at] != static_cast<uint8_t>(separator)) {
            ++at;
        }
        out.emplace_back(reinterpret_cast<const char*>(data) + start, at - start);
        start = at < size ? at + 1 : size;
    }
    out.emplace_back(reinterpret_cast<const char*>(data) + start, size - start);
    return out;
}
