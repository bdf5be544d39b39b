#include "tools/ToolSupport.h"

#include <cstring>

namespace tool {

int ReadWholeFile(const char* path, std::string* out) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) {
        return 0;
    }
    out->clear();
    char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        out->append(block, got);
    }
    bool ok = ferror(file) == 0;
    fclose(file);
    return ok ? 1 : 0;
}

bool WantsHelp(int argc, char** argv) {
    return argc >= 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0);
}

void PrintEscaped(FILE* out, const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        switch (*c) {
            case '\\':
                fputs("\\\\", out);
                break;
            case '\n':
                fputs("\\n", out);
                break;
            case '\t':
                fputs("\\t", out);
                break;
            case '\r':
                fputs("\\r", out);
                break;
            default:
                fputc(*c, out);
        }
    }
}

}  // namespace tool
