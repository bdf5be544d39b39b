// zbpack dict: builds, unpacks and lints the dictionary that the setup carries as DICT.DIC.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "package/DictionaryContainer.h"
#include "platform/NativeFileSystem.h"
#include "tools/Commands.h"
#include "tools/DictionaryCheck.h"
#include "tools/ToolSupport.h"

namespace {

const char kUsage[] =
    "usage: zbpack dict build IN.INI OUT.DIC   scramble a dictionary text into a container\n"
    "       zbpack dict unpack IN.DIC OUT.INI  verify a container and write its text\n"
    "       zbpack dict check IN.INI           lint a dictionary text as the setup reads it\n"
    "\n"
    "unpack exits 1 when the length or checksum test fails; OUT.INI is then left as the\n"
    "setup leaves TEMP.DIC (empty after a length failure, the whole text after a checksum\n"
    "failure). check prints one line per problem and exits 1 when it found any.\n";

int Usage(FILE* out, int status) {
    fputs(kUsage, out);
    return status;
}

int Build(const char* in, const char* out) {
    std::string plain;
    if (!tool::ReadWholeFile(in, &plain)) {
        fprintf(stderr, "zbpack dict build: cannot read %s\n", tool::Shown(in).c_str());
        return kExitFailed;
    }
    if (plain.size() > UINT32_MAX) {
        fprintf(stderr, "zbpack dict build: %s is too large for a container\n",
                tool::Shown(in).c_str());
        return kExitUsage;
    }
    NativeFileSystem files;
    std::unique_ptr<WriteStream> stream = files.Create(out);
    if (!stream) {
        fprintf(stderr, "zbpack dict build: cannot create %s\n", tool::Shown(out).c_str());
        return kExitFailed;
    }
    if (!WriteDictionaryContainer(*stream, reinterpret_cast<const unsigned char*>(plain.data()),
                                  plain.size())) {
        fprintf(stderr, "zbpack dict build: cannot write %s\n", tool::Shown(out).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int Unpack(const char* in, const char* out) {
    NativeFileSystem files;
    DictionaryStatus status;
    if (!UnscrambleDictionary(files, in, out, &status)) {
        fprintf(stderr, "zbpack dict unpack: %s: %s\n", tool::Shown(in).c_str(),
                DescribeDictionaryStatus(status));
        return kExitFailed;
    }
    return kExitOk;
}

int Check(const char* in) {
    std::string text;
    if (!tool::ReadWholeFile(in, &text)) {
        fprintf(stderr, "zbpack dict check: cannot read %s\n", tool::Shown(in).c_str());
        return kExitFailed;
    }
    std::vector<DictionaryProblem> problems = CheckDictionaryText(text);
    for (const DictionaryProblem& problem : problems) {
        if (problem.line > 0) {
            printf("%s:%d: %s\n", tool::Shown(in).c_str(), problem.line,
                   tool::Shown(problem.message).c_str());
        } else {
            printf("%s: %s\n", tool::Shown(in).c_str(), tool::Shown(problem.message).c_str());
        }
    }
    return problems.empty() ? kExitOk : kExitFailed;
}

}  // namespace

int RunDictCommand(int argc, char** argv) {
    if (tool::WantsHelp(argc, argv)) {
        return Usage(stdout, kExitOk);
    }
    if (argc < 2) {
        return Usage(stderr, kExitUsage);
    }
    const char* action = argv[1];
    if (tool::WantsHelp(argc - 1, argv + 1)) {
        return Usage(stdout, kExitOk);
    }
    if (strcmp(action, "build") == 0 && argc == 4) {
        return Build(argv[2], argv[3]);
    }
    if (strcmp(action, "unpack") == 0 && argc == 4) {
        return Unpack(argv[2], argv[3]);
    }
    if (strcmp(action, "check") == 0 && argc == 3) {
        return Check(argv[2]);
    }
    fprintf(stderr, "zbpack dict: wrong arguments\n");
    return Usage(stderr, kExitUsage);
}
