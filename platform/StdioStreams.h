// Byte streams over the C standard streams in untranslated mode, shared by every build.
#pragma once

#include <cstdio>
#include <memory>

#include "platform/FileSystem.h"

// Opens an already mapped (native) path; null when the file cannot be opened or created.
std::unique_ptr<ReadStream> OpenStdioRead(const char* nativePath);
std::unique_ptr<WriteStream> CreateStdioWrite(const char* nativePath);
