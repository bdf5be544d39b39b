// Files and folders as the setup uses them: raw byte streams ("rb"/"wb") and a few whole-file
// operations. Paths are ANSI texts with backslashes; a native build maps them onto its own
// file system so that the same logic runs and is tested everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class ReadStream {
public:
    virtual ~ReadStream() = default;
    // Reads up to size bytes; returns the count read (less at the end of the file).
    virtual size_t Read(void* buffer, size_t size) = 0;
    // Length of the whole file in bytes.
    virtual int64_t Length() = 0;
};

class WriteStream {
public:
    virtual ~WriteStream() = default;
    // Writes size bytes; returns the count written (less when the disk is full).
    virtual size_t Write(const void* data, size_t size) = 0;
    // Flushes and closes; returns 1 when everything reached the file, else 0.
    virtual int Close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens an existing file for reading raw bytes; null when it cannot be opened.
    virtual std::unique_ptr<ReadStream> OpenRead(const char* path) = 0;
    // Creates a file for writing raw bytes, emptying an existing one; null when it cannot.
    virtual std::unique_ptr<WriteStream> Create(const char* path) = 0;
    // True when a file or folder exists at the path.
    virtual bool Exists(const char* path) = 0;
    virtual int Delete(const char* path) = 0;
    // Creates the last level only: an existing folder or a missing parent fails.
    virtual int CreateFolder(const char* path) = 0;
    // Copies a file, replacing an existing target.
    virtual int Copy(const char* from, const char* to) = 0;
    // The current directory without a trailing separator; returns its length, or 0 when it
    // does not fit size (terminator included) or cannot be read.
    virtual size_t GetCurrentFolder(char* out, size_t size) = 0;
    virtual int SetCurrentFolder(const char* path) = 0;
    // The Windows directory; returns its length, or 0 when it does not fit.
    virtual size_t GetWindowsFolder(char* out, size_t size) = 0;
    // The user's temporary folder without a trailing backslash; returns its length or 0.
    virtual size_t GetTempFolder(char* out, size_t size) = 0;
};
