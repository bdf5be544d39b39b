#include "tools/ToolSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace tool {

bool ReadWholeFile(const char* path, std::string* out) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    out->clear();
    char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        out->append(block, got);
    }
    bool ok = ferror(file) == 0;
    fclose(file);
    return ok;
}

bool ListFolder(const char* folder, std::vector<std::string>* names) {
    DIR* dir = opendir(folder);
    if (dir == nullptr) {
        return false;
    }
    names->clear();
    while (struct dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) {
            names->push_back(entry->d_name);
        }
    }
    closedir(dir);
    std::sort(names->begin(), names->end());
    return true;
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

std::string Shown(const std::string& text) {
    std::string shown;
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\n' || c == '\t' || c == '\r') {
            shown += '\\';
            shown += c == '\n' ? 'n' : c == '\t' ? 't' : 'r';
        } else if (byte < 32 || byte == 127) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string ShownText(const std::string& text) {
    std::string doubled;
    for (char c : text) {
        doubled += c;
        if (c == '\\') {
            doubled += c;
        }
    }
    return Shown(doubled);
}

FILE* CreateTemporaryBeside(const char* output, std::string* name) {
    std::string base = std::string(output) + ".tmp-" + std::to_string(getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            FILE* file = fdopen(fd, "wb");
            if (file == nullptr) {
                int saved = errno;
                close(fd);
                unlink(name->c_str());
                errno = saved;
            }
            return file;
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

namespace {

// The path is copied into a fixed buffer: the handler may only call what is safe in a signal.
char gRemoveOnSignal[4096];

void RemoveAndStop(int signal) {
    if (gRemoveOnSignal[0] != '\0') {
        unlink(gRemoveOnSignal);
    }
    ::signal(signal, SIG_DFL);
    raise(signal);
}

}  // namespace

void RemoveOnSignal(const char* temporary) {
    if (temporary == nullptr || strlen(temporary) >= sizeof gRemoveOnSignal) {
        gRemoveOnSignal[0] = '\0';
        return;
    }
    // The first byte last, so that a signal in between sees no half-copied path.
    gRemoveOnSignal[0] = '\0';
    memcpy(gRemoveOnSignal + 1, temporary + 1, strlen(temporary));
    gRemoveOnSignal[0] = temporary[0];
    for (int each : {SIGINT, SIGTERM, SIGHUP}) {
        signal(each, RemoveAndStop);
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
    fprintf(stderr, "%s: unknown subcommand '%s'\n", prefix, tool::Shown(argv[1]).c_str());
    return UsageError(usage);
}

}  // namespace tool
