// Writes "<own file name>.ran" into the current directory: the current directory on the first
// line, then one argument per line.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length == 0 || length >= sizeof module) {
        return 1;
    }
    const char* name = strrchr(module, '\\');
    name = name != nullptr ? name + 1 : module;
    char current[MAX_PATH];
    if (GetCurrentDirectoryA(sizeof current, current) == 0) {
        return 1;
    }
    char marker[MAX_PATH + 8];
    snprintf(marker, sizeof marker, "%s.ran", name);
    FILE* file = fopen(marker, "wb");
    if (file == nullptr) {
        return 1;
    }
    fprintf(file, "%s\n", current);
    for (int i = 1; i < argc; ++i) {
        fprintf(file, "%s\n", argv[i]);
    }
    return fclose(file) == 0 ? 0 : 1;
}
