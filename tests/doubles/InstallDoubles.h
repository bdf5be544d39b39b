// Doubles of the platform interfaces that the installation uses. Several of them can write into
// one shared event log, so that tests see the order of progress, files, settings and starts.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "doubles/Doubles.h"
#include "platform/FileSystem.h"
#include "platform/FileVersions.h"
#include "platform/Fonts.h"
#include "platform/FolderBrowser.h"
#include "platform/ProfileStore.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/ShellLinks.h"

using EventLog = std::vector<std::string>;

// Error codes the registry double reports, with the platform's values.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorMoreData = 234;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidData = 13;

// Keys and values held in memory. Values are byte strings, looked up without regard to case.
class RecordingRegistry : public Registry {
public:
    void SetValue(RegistryRoot root, const std::string& subKey, const std::string& name,
                  const std::string& bytes);
    // Makes the key exist without values.
    void AddKey(RegistryRoot root, const std::string& subKey);

    int OpenKey(RegistryRoot root, const char* subKey, RegistryKey* key, uint32_t* error) override;
    int QueryValue(RegistryKey key, const char* name, char* out, size_t size,
                   uint32_t* error) override;
    int QueryNumber(RegistryKey key, const char* name, uint32_t* value, uint32_t* error) override;
    void CloseKey(RegistryKey key) override;
    int CreateKey(RegistryRoot root, const char* subKey, RegistryKey* key,
                  uint32_t* error) override;
    int SetString(RegistryKey key, const char* name, const char* value, uint32_t* error) override;
    int SetNumber(RegistryKey key, const char* name, uint32_t value, uint32_t* error) override;
    void ErrorText(uint32_t error, char* out, size_t size) override;

    // A value as stored: the bytes of a string, "dword:N" for a number; "<missing>" when absent.
    std::string Value(RegistryRoot root, const std::string& subKey, const std::string& name) const;
    bool HasKey(RegistryRoot root, const std::string& subKey) const;

    std::vector<std::string> calls;  // "open HKCU\...", "query Desktop", "close", "create ..."
    int openKeys = 0;                // opened and not yet closed
    uint32_t createError = 0;        // non-zero: CreateKey fails with this code
    std::string failingValue;        // setting the value of this name fails
    EventLog* log = nullptr;         // "registry HKLM\...\NAME=VALUE" for every value set

private:
    using Values = std::map<std::string, std::string>;
    int Set(RegistryKey key, const char* name, const std::string& bytes, uint32_t* error);
    std::map<std::string, Values> keys_;
    std::map<RegistryKey, std::string>
        createdNames_;  // "HKLM\..." upper-cased -> values by upper-cased name
};

struct ShellStart {
    WindowHandle owner;
    std::string file;
    std::string parameters;
    bool hasParameters;
};

// Records every start; forwards to inner when given (a real shell under Windows).
class RecordingShell : public Shell {
public:
    int OpenHidden(WindowHandle owner, const char* file, const char* parameters) override;
    size_t GetSystemFolder(char* out, size_t size) override;

    std::vector<ShellStart> starts;
    std::vector<int> results;  // what each start returned
    std::string systemFolder = "C:\\WINDOWS\\system32";
    Shell* inner = nullptr;
    EventLog* log = nullptr;
};

struct MadeLink {
    std::string target;
    std::string linkPath;
    std::string description;
};

class RecordingShellLinks : public ShellLinks {
public:
    LinkResult CreateShellLink(const char* target, const char* linkPath,
                               const char* description) override;
    std::vector<MadeLink> links;
    LinkResult result = LinkResult::kSaved;
    ShellLinks* inner = nullptr;
    EventLog* log = nullptr;
};

// Plays a scripted browse: the reports the real browser would send, then confirm or cancel.
struct BrowseEvent {
    enum Kind { ChangedBeforeInitial, Initialized, Changed } kind;
    std::string path;
};

class ScriptedFolderBrowser : public FolderBrowser {
public:
    int Browse(WindowHandle owner, const char* title, BrowseSelection& selection) override;
    std::vector<BrowseEvent> events;
    bool confirm = true;
    // What the browser was given.
    WindowHandle owner = nullptr;
    std::string title;
    std::string initialPath;  // the working path when the browser was asked to select it
    int browses = 0;
};

// A file system that forwards to another one (when given), logs every change it is asked for and
// stands in its own Windows directory (the real adapter would report the system's). Without an
// inner one, changes succeed and nothing can be read or created.
class LoggingFileSystem : public FileSystem {
public:
    LoggingFileSystem(std::unique_ptr<FileSystem> inner, std::string windowsFolder, EventLog* log)
        : inner_(std::move(inner)), windowsFolder_(std::move(windowsFolder)), log_(log) {}

    std::unique_ptr<ReadStream> OpenRead(const char* path) override {
        return inner_ ? inner_->OpenRead(path) : nullptr;
    }
    std::unique_ptr<WriteStream> Create(const char* path) override;
    bool Exists(const char* path) override { return inner_ ? inner_->Exists(path) : false; }
    int Delete(const char* path) override;
    int CreateFolder(const char* path) override;
    int Copy(const char* from, const char* to) override;
    size_t GetCurrentFolder(char* out, size_t size) override {
        return inner_ ? inner_->GetCurrentFolder(out, size) : 0;
    }
    int SetCurrentFolder(const char* path) override;
    size_t GetWindowsFolder(char* out, size_t size) override;
    size_t GetTempFolder(char* out, size_t size) override {
        return inner_ ? inner_->GetTempFolder(out, size) : 0;
    }

private:
    void Log(const std::string& event) {
        if (log_ != nullptr) {
            log_->push_back(event);
        }
    }
    std::unique_ptr<FileSystem> inner_;
    std::string windowsFolder_;
    EventLog* log_;
};

class LoggingProfileStore : public ProfileStore {
public:
    LoggingProfileStore(ProfileStore& inner, EventLog* log) : inner_(inner), log_(log) {}
    size_t ReadString(const char* section, const char* key, const char* defaultValue, char* out,
                      size_t size, const char* file) override {
        return inner_.ReadString(section, key, defaultValue, out, size, file);
    }
    int WriteString(const char* section, const char* key, const char* value,
                    const char* file) override;

private:
    ProfileStore& inner_;
    EventLog* log_;
};

class LoggingProgressBar : public RecordingProgressBar {
public:
    explicit LoggingProgressBar(EventLog* log) : log_(log) {}
    void SetPosition(WindowHandle dialog, int position) override;

private:
    EventLog* log_;
};

class LoggingSystem : public FakeSystem {
public:
    explicit LoggingSystem(EventLog* log) : log_(log) {}
    void Sleep(unsigned milliseconds) override;
    CursorHandle ShowWaitCursor() override;
    void SetCursor(CursorHandle cursor) override;

private:
    EventLog* log_;
};

// Logs every font loaded and every announcement: "add font PATH", "announce font change".
class RecordingFonts : public Fonts {
public:
    int AddFont(const char* path) override;
    void AnnounceFontChange() override;
    EventLog* log = nullptr;
};

// Versions by path (without regard to case); a path not listed has no version resource.
class ScriptedFileVersions : public FileVersions {
public:
    int Read(const char* path, uint64_t* version) override;
    void Set(const std::string& path, uint64_t version);

private:
    std::map<std::string, uint64_t> versions_;
};
