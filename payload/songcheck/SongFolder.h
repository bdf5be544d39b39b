// Walking the songs folder on the running system.
#pragma once

#include <cstddef>

namespace songs {

using SongVisitor = void (*)(const char* filePath, const char* name, unsigned long long size,
                             void* context);

// Calls visit for every song file directly in folder. Returns the number of songs, or -1 when
// the folder cannot be read.
int ForEachSong(const char* folder, SongVisitor visit, void* context);

// Reads up to size bytes from the start of a file. Returns the number read, -1 on failure.
int ReadFileStart(const char* filePath, unsigned char* out, size_t size);

}  // namespace songs
