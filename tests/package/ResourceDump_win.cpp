// zbresdump SETUP.exe FOLDER: maps a setup as the Windows loader maps a module and writes the two
// data resources, read through the setup's own resource store (FindResource, LoadResource,
// SizeofResource, LockResource), into FOLDER as RESOURCE.DAT and DICT.DIC. Prints each name and
// size; exit status 1 when the setup cannot be mapped or a resource is missing.
// zbresdump --version SETUP.exe: what GetFileVersionInfo reports of the setup, the four numbers
// of its fixed part and its ProductVersion and CompanyName texts, on one line.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/ResourceStore.h"
#include "platform/Win32Adapters.h"

namespace {

std::string VersionText(void* info, const char* name) {
    // The first translation names the string table.
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(info, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &size) ||
        size < sizeof *translation) {
        return "<none>";
    }
    char query[96];
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
             translation->codePage, name);
    char* text = nullptr;
    if (!VerQueryValueA(info, query, reinterpret_cast<void**>(&text), &size) || text == nullptr) {
        return "<none>";
    }
    return text;
}

int PrintVersion(const char* path) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    std::string info(size, '\0');
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (size == 0 || !GetFileVersionInfoA(path, 0, size, &info[0]) ||
        !VerQueryValueA(&info[0], "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixedSize < sizeof *fixed) {
        fprintf(stderr, "zbresdump: no version information in %s (error %lu)\n", path,
                GetLastError());
        return 1;
    }
    auto part = [](DWORD value, int high) {
        return static_cast<unsigned>(high ? value >> 16 : value & 0xFFFF);
    };
    printf("VERSION file=<%u.%u.%u.%u> product=<%u.%u.%u.%u> text=<%s> company=<%s>\n",
           part(fixed->dwFileVersionMS, 1), part(fixed->dwFileVersionMS, 0),
           part(fixed->dwFileVersionLS, 1), part(fixed->dwFileVersionLS, 0),
           part(fixed->dwProductVersionMS, 1), part(fixed->dwProductVersionMS, 0),
           part(fixed->dwProductVersionLS, 1), part(fixed->dwProductVersionLS, 0),
           VersionText(&info[0], "ProductVersion").c_str(),
           VersionText(&info[0], "CompanyName").c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--version") == 0) {
        return PrintVersion(argv[2]);
    }
    if (argc != 3) {
        fprintf(stderr, "usage: zbresdump SETUP.exe FOLDER | zbresdump --version SETUP.exe\n");
        return 2;
    }
    // Mapped as an image, sections at their addresses, without running it.
    HMODULE module = LoadLibraryExA(argv[1], nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (module == nullptr) {
        fprintf(stderr, "zbresdump: cannot map %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    Win32ResourceStore store(module);
    int status = 0;
    for (const char* name : {"RESOURCE.DAT", "DICT.DIC"}) {
        ResourceBlock block{nullptr, 0};
        if (!store.Find("PlainExtract", name, &block)) {
            fprintf(stderr, "zbresdump: no resource PlainExtract %s\n", name);
            status = 1;
            continue;
        }
        std::string path = std::string(argv[2]) + "\\" + name;
        FILE* out = fopen(path.c_str(), "wb");
        if (out == nullptr || fwrite(block.data, 1, block.size, out) != block.size) {
            fprintf(stderr, "zbresdump: cannot write %s\n", path.c_str());
            status = 1;
        }
        if (out != nullptr && fclose(out) != 0) {
            status = 1;
        }
        printf("%s %lu\n", name, static_cast<unsigned long>(block.size));
    }
    FreeLibrary(module);
    return status;
}
