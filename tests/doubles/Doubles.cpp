#include "doubles/Doubles.h"

#include "platform/IniFile.h"
#ifdef _WIN32
#include "platform/Win32Adapters.h"
#else
#include "platform/NativeFileSystem.h"
#endif

int RecordingMessageBoxes::Show(WindowHandle owner, const char* text, const char* caption,
                                unsigned type) {
    shown.push_back({owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type});
    if (answers.empty()) {
        return kIdOk;
    }
    int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

std::vector<int> RecordingProgressBar::Positions() const {
    std::vector<int> positions;
    for (const ProgressCall& call : calls) {
        positions.push_back(call.position);
    }
    return positions;
}

namespace {

#ifdef _WIN32
// The real adapter is process-wide; the tests own their instance only through this wrapper.
class BorrowedFiles : public FileSystem {
public:
    std::unique_ptr<ReadStream> OpenRead(const char* path) override {
        return Win32Files().OpenRead(path);
    }
    std::unique_ptr<WriteStream> Create(const char* path) override {
        return Win32Files().Create(path);
    }
    bool Exists(const char* path) override { return Win32Files().Exists(path); }
    int Delete(const char* path) override { return Win32Files().Delete(path); }
    int CreateFolder(const char* path) override { return Win32Files().CreateFolder(path); }
    int Copy(const char* from, const char* to) override { return Win32Files().Copy(from, to); }
    size_t GetCurrentFolder(char* out, size_t size) override {
        return Win32Files().GetCurrentFolder(out, size);
    }
    int SetCurrentFolder(const char* path) override { return Win32Files().SetCurrentFolder(path); }
    size_t GetWindowsFolder(char* out, size_t size) override {
        return Win32Files().GetWindowsFolder(out, size);
    }
    size_t GetTempFolder(char* out, size_t size) override {
        return Win32Files().GetTempFolder(out, size);
    }
};

class BorrowedProfile : public ProfileStore {
public:
    size_t ReadString(const char* section, const char* key, const char* defaultValue, char* out,
                      size_t size, const char* file) override {
        return Win32Profile().ReadString(section, key, defaultValue, out, size, file);
    }
    int WriteString(const char* section, const char* key, const char* value,
                    const char* file) override {
        return Win32Profile().WriteString(section, key, value, file);
    }
};
#endif

}  // namespace

std::unique_ptr<FileSystem> MakeTestFileSystem(const std::string& windowsFolder) {
#ifdef _WIN32
    (void)windowsFolder;
    return std::unique_ptr<FileSystem>(new BorrowedFiles());
#else
    return std::unique_ptr<FileSystem>(new NativeFileSystem(windowsFolder, windowsFolder));
#endif
}

std::unique_ptr<ProfileStore> MakeTestProfileStore(const std::string& windowsFolder) {
    return std::unique_ptr<ProfileStore>(new IniProfileStore(windowsFolder));
}

#ifdef _WIN32
std::unique_ptr<ProfileStore> MakeWin32TestProfileStore() {
    return std::unique_ptr<ProfileStore>(new BorrowedProfile());
}
#endif
