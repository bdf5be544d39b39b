// The payload archive: one file carrying every file the setup installs, and its extraction.
#pragma once

#include "platform/Types.h"

struct Platform;

// Unpacks folder\archiveName into folder, sending progress positions from startPosition to
// progressWindow's control 1005, and deletes the archive. Returns 1 when the archive was read
// through (single entries that cannot be written are reported and skipped), 0 when it cannot be
// opened, the buffer cannot be allocated or the archive is damaged (the user has then been told).
int ExtractPayloadArchive(Platform& platform, WindowHandle progressWindow, const char* folder,
                          const char* archiveName, int divisor, int startPosition);
