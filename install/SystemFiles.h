// What the installation leaves to the system besides its own folder, done as Windows expects:
// the runtime libraries in the Windows directory are counted and never replaced by an older or
// unversioned copy (Windows Installer's rules), and the font is loaded, listed and announced.
#pragma once

#include <cstdint>

struct Platform;

namespace install {

struct FileVersion {
    bool present;  // the file has a version resource
    uint64_t value;
};

// Whether a file already in place stays instead of ours: it is versioned and ours is not, or
// its version is newer than ours.
bool KeepExistingFile(FileVersion existing, FileVersion ours);

// The count of a shared file after one more program counts on it. A file that was there
// already without a count (or with 0) is taken to have one user; a count at its limit stays.
uint32_t NextSharedCount(bool existedBefore, bool hasCount, uint32_t count);

// Copies source over path unless KeepExistingFile says the copy there stays, then adds one to
// the file's count under the SharedDLLs key. Failures are silent, as for every copy.
void InstallSharedFile(Platform& platform, const char* source, const char* path);

// Loads the installed font at path into the session, lists it under its full name (read from
// the file's own name table) with fileName as data, and tells the running programs. A file
// whose name cannot be read is loaded but not listed.
void RegisterFont(Platform& platform, const char* path, const char* fileName);

}  // namespace install
