// The version a file's version resource gives, as Windows Installer compares files by it.
#pragma once

#include <cstdint>

class FileVersions {
public:
    virtual ~FileVersions() = default;
    // The file version of the fixed part of path's version resource, the most significant 32
    // bits first (7.10.6030.0 is 0x0007000A178E0000). Returns 1 with the version, or 0 when the
    // file has no version resource or cannot be read.
    virtual int Read(const char* path, uint64_t* version) = 0;
};
