#include "doubles/InstallDoubles.h"

#include <cstdio>
#include <cstring>

namespace {

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

std::string KeyName(RegistryRoot root, const std::string& subKey) {
    return Upper((root == RegistryRoot::kLocalMachine ? "HKLM\\" : "HKCU\\") + subKey);
}

void Append(EventLog* log, const std::string& event) {
    if (log != nullptr) {
        log->push_back(event);
    }
}

}  // namespace

void RecordingRegistry::SetValue(RegistryRoot root, const std::string& subKey,
                                 const std::string& name, const std::string& bytes) {
    keys_[KeyName(root, subKey)][Upper(name)] = bytes;
}

void RecordingRegistry::AddKey(RegistryRoot root, const std::string& subKey) {
    keys_[KeyName(root, subKey)];
}

int RecordingRegistry::OpenKey(RegistryRoot root, const char* subKey, RegistryKey* key,
                               uint32_t* error) {
    std::string name = KeyName(root, subKey);
    calls.push_back("open " + name);
    auto found = keys_.find(name);
    if (found == keys_.end()) {
        *key = nullptr;
        *error = kErrorFileNotFound;
        return 0;
    }
    *key = &found->second;
    ++openKeys;
    return 1;
}

int RecordingRegistry::QueryValue(RegistryKey key, const char* name, char* out, size_t size,
                                  uint32_t* error) {
    calls.push_back(std::string("query ") + name);
    const Values& values = *static_cast<Values*>(key);
    auto found = values.find(Upper(name));
    if (found == values.end()) {
        *error = kErrorFileNotFound;
    } else if (found->second.size() + 1 > size) {
        *error = kErrorMoreData;
    } else {
        memcpy(out, found->second.data(), found->second.size());
        out[found->second.size()] = '\0';
        return 1;
    }
    if (size > 0) {
        out[0] = '\0';
    }
    return 0;
}

int RecordingRegistry::QueryNumber(RegistryKey key, const char* name, uint32_t* value,
                                   uint32_t* error) {
    calls.push_back(std::string("query ") + name);
    const Values& values = *static_cast<Values*>(key);
    auto found = values.find(Upper(name));
    if (found == values.end() || found->second.rfind("dword:", 0) != 0) {
        *error = found == values.end() ? kErrorFileNotFound : kErrorInvalidData;
        return 0;
    }
    *value = static_cast<uint32_t>(std::stoul(found->second.substr(6)));
    return 1;
}

void RecordingRegistry::CloseKey(RegistryKey) {
    calls.push_back("close");
    --openKeys;
}

int RecordingRegistry::CreateKey(RegistryRoot root, const char* subKey, RegistryKey* key,
                                 uint32_t* error) {
    std::string name = KeyName(root, subKey);
    calls.push_back("create " + name);
    if (createError != 0) {
        *key = nullptr;
        *error = createError;
        return 0;
    }
    auto made = keys_.emplace(name, Values()).first;
    createdNames_[&made->second] = name;
    *key = &made->second;
    ++openKeys;
    return 1;
}

int RecordingRegistry::Set(RegistryKey key, const char* name, const std::string& bytes,
                           uint32_t* error) {
    calls.push_back(std::string("set ") + name);
    if (Upper(name) == Upper(failingValue)) {
        *error = kErrorAccessDenied;
        return 0;
    }
    (*static_cast<Values*>(key))[Upper(name)] = bytes;
    Append(log, "registry " + createdNames_[key] + "\\" + name + "=" + bytes);
    return 1;
}

int RecordingRegistry::SetString(RegistryKey key, const char* name, const char* value,
                                 uint32_t* error) {
    return Set(key, name, value, error);
}

int RecordingRegistry::SetNumber(RegistryKey key, const char* name, uint32_t value,
                                 uint32_t* error) {
    return Set(key, name, "dword:" + std::to_string(value), error);
}

std::string RecordingRegistry::Value(RegistryRoot root, const std::string& subKey,
                                     const std::string& name) const {
    auto key = keys_.find(KeyName(root, subKey));
    if (key == keys_.end()) {
        return "<missing>";
    }
    auto value = key->second.find(Upper(name));
    return value == key->second.end() ? "<missing>" : value->second;
}

bool RecordingRegistry::HasKey(RegistryRoot root, const std::string& subKey) const {
    return keys_.count(KeyName(root, subKey)) != 0;
}

void RecordingRegistry::ErrorText(uint32_t error, char* out, size_t size) {
    snprintf(out, size, "System text of error %u", static_cast<unsigned>(error));
}

int RecordingShell::OpenHidden(WindowHandle owner, const char* file, const char* parameters) {
    starts.push_back({owner, file, parameters != nullptr ? parameters : "", parameters != nullptr});
    Append(log, std::string("start ") + file + (parameters != nullptr ? " " : "") +
                    (parameters != nullptr ? parameters : ""));
    int result = inner != nullptr ? inner->OpenHidden(owner, file, parameters) : 1;
    results.push_back(result);
    return result;
}

size_t RecordingShell::GetSystemFolder(char* out, size_t size) {
    if (inner != nullptr) {
        return inner->GetSystemFolder(out, size);
    }
    if (systemFolder.size() + 1 > size) {
        if (size > 0) {
            out[0] = '\0';
        }
        return 0;
    }
    memcpy(out, systemFolder.c_str(), systemFolder.size() + 1);
    return systemFolder.size();
}

LinkResult RecordingShellLinks::CreateShellLink(const char* target, const char* linkPath,
                                                const char* description) {
    links.push_back({target, linkPath, description});
    Append(log, std::string("link ") + linkPath + " -> " + target);
    return inner != nullptr ? inner->CreateShellLink(target, linkPath, description) : result;
}

int ScriptedFolderBrowser::Browse(WindowHandle browseOwner, const char* browseTitle,
                                  BrowseSelection& selection) {
    ++browses;
    owner = browseOwner;
    title = browseTitle;
    for (const BrowseEvent& event : events) {
        switch (event.kind) {
            case BrowseEvent::ChangedBeforeInitial:
                // The browser reports its root before it is told where to go.
                selection.SelectionChanged(event.path.c_str());
                break;
            case BrowseEvent::Initialized:
                initialPath = selection.path();
                selection.InitialSelectionRequested();
                break;
            case BrowseEvent::Changed:
                selection.SelectionChanged(event.path.c_str());
                break;
        }
    }
    return confirm ? 1 : 0;
}

std::unique_ptr<WriteStream> LoggingFileSystem::Create(const char* path) {
    Log(std::string("create ") + path);
    return inner_ ? inner_->Create(path) : nullptr;
}

int LoggingFileSystem::Delete(const char* path) {
    Log(std::string("delete ") + path);
    return inner_ ? inner_->Delete(path) : 1;
}

int LoggingFileSystem::CreateFolder(const char* path) {
    Log(std::string("mkdir ") + path);
    return inner_ ? inner_->CreateFolder(path) : 1;
}

int LoggingFileSystem::Copy(const char* from, const char* to) {
    Log(std::string("copy ") + from + " -> " + to);
    return inner_ ? inner_->Copy(from, to) : 1;
}

int LoggingFileSystem::SetCurrentFolder(const char* path) {
    Log(std::string("cd ") + path);
    return inner_ ? inner_->SetCurrentFolder(path) : 1;
}

size_t LoggingFileSystem::GetWindowsFolder(char* out, size_t size) {
    if (windowsFolder_.size() + 1 > size) {
        if (size > 0) {
            out[0] = '\0';
        }
        return 0;
    }
    memcpy(out, windowsFolder_.c_str(), windowsFolder_.size() + 1);
    return windowsFolder_.size();
}

int LoggingProfileStore::WriteString(const char* section, const char* key, const char* value,
                                     const char* file) {
    Append(log_, std::string("setting ") + section + "/" + key + "=" + value);
    return inner_.WriteString(section, key, value, file);
}

void LoggingProgressBar::SetPosition(WindowHandle dialog, int position) {
    RecordingProgressBar::SetPosition(dialog, position);
    Append(log_, "progress " + std::to_string(position));
}

void LoggingSystem::Sleep(unsigned milliseconds) {
    FakeSystem::Sleep(milliseconds);
    Append(log_, "sleep " + std::to_string(milliseconds));
}

CursorHandle LoggingSystem::ShowWaitCursor() {
    Append(log_, "wait cursor");
    return FakeSystem::ShowWaitCursor();
}

void LoggingSystem::SetCursor(CursorHandle cursor) {
    Append(log_, "restore cursor");
    FakeSystem::SetCursor(cursor);
}

int RecordingFonts::AddFont(const char* path) {
    Append(log, std::string("add font ") + path);
    return 1;
}

void RecordingFonts::AnnounceFontChange() {
    Append(log, "announce font change");
}

int ScriptedFileVersions::Read(const char* path, uint64_t* version) {
    auto found = versions_.find(Upper(path));
    if (found == versions_.end()) {
        return 0;
    }
    *version = found->second;
    return 1;
}

void ScriptedFileVersions::Set(const std::string& path, uint64_t version) {
    versions_[Upper(path)] = version;
}
