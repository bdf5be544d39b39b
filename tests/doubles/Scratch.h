// Scratch folders for tests: created fresh under the temporary folder, removed afterwards.
#pragma once

#include <string>
#include <vector>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder in the setup's own path form (backslashes on Windows, slashes natively).
    const std::string& path() const { return path_; }
    // folder + separator + name, in the form the setup composes ("%s\%s").
    std::string Join(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Whole-file helpers over paths in the setup's form.
bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool WriteFileText(const std::string& path, const std::string& text);
bool ReadFileBytes(const std::string& path, std::vector<unsigned char>* bytes);
std::string ReadFileText(const std::string& path);
bool FileExists(const std::string& path);
