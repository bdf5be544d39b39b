// zbresdump SETUP.exe FOLDER: maps a setup as the Windows loader maps a module and writes the two
// data resources, read through the setup's own resource store (FindResource, LoadResource,
// SizeofResource, LockResource), into FOLDER as RESOURCE.DAT and DICT.DIC. Prints each name and
// size; exit status 1 when the setup cannot be mapped or a resource is missing.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/ResourceStore.h"
#include "platform/Win32Adapters.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: zbresdump SETUP.exe FOLDER\n");
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
