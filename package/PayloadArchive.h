// The payload archive: one file carrying every file the setup installs, and its extraction.
#pragma once

#include <cstddef>

#include "platform/Types.h"

struct Platform;

// Unpacks folder\archiveName into folder, sending progress positions from startPosition to
// progressWindow's control 1005, and deletes the archive. Returns 1 when the archive was read
// through (single entries that cannot be written are reported and skipped), 0 when it cannot be
// opened, the buffer cannot be allocated or the archive is damaged (the user has then been told
// and the archive file stays where it is).
int ExtractPayloadArchive(Platform& platform, WindowHandle progressWindow, const char* folder,
                          const char* archiveName, int divisor, int startPosition);

// What becomes of the archive file once it has been read through.
enum class ArchiveAfterUse { kDelete, kKeep };

// The archive path and every path the extraction writes: a folder, a backslash and a name. The
// planner refuses an install folder in which the longest entry would not fit.
constexpr size_t kExtractPathSize = 256;

// The data buffer's allocator: memory that free() releases, or null when there is none.
using BufferAllocator = void* (*)(size_t size);

// The extraction itself, for the setup and for zbpack: archivePath is read, its entries go to
// folder. Results and messages as ExtractPayloadArchive, except that archivePath is kept when
// after is kKeep. A damaged archive always stays.
int UnpackPayloadArchive(Platform& platform, WindowHandle progressWindow, const char* folder,
                         const char* archivePath, int divisor, int startPosition,
                         ArchiveAfterUse after, BufferAllocator allocate);
