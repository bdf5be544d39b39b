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

int UsageError(const char* usage) {
    fputs(usage, stderr);
    return kExitUsage;
}

std::optional<int> HelpOrUsage(int argc, char** argv, const char* help, bool countFits) {
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            fputs(help, stdout);
            return kExitOk;
        }
    }
    if (!countFits) {
        return UsageError(help);
    }
    return std::nullopt;
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

int RunSubcommand(const char* prefix, const char* usage, const Command* subcommands, int argc,
                  char** argv) {
    if (argc < 2) {
        return UsageError(usage);
    }
    if (WantsHelp(argc, argv)) {
        fputs(usage, stdout);
        fputs("\nsubcommands:\n", stdout);
        for (const Command* command = subcommands; command->name != nullptr; ++command) {
            printf("  %-8s %s\n", command->name, command->summary);
        }
        return kExitOk;
    }
    for (const Command* command = subcommands; command->name != nullptr; ++command) {
        if (strcmp(argv[1], command->name) == 0) {
            return command->run(argc - 1, argv + 1);
        }
    }
    fprintf(stderr, "%s: unknown subcommand '%s'\n", prefix, argv[1]);
    return UsageError(usage);
}

}  // namespace tool
