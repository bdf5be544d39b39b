// The folder the product is installed into: the default, the folder browser, normalisation.
#pragma once

#include <cstddef>

#include "platform/Types.h"

struct Platform;

// Size of a folder text that browsing and normalisation may produce: a 259-character browse
// result, the "\ZarbelPC" suffix and the terminator.
constexpr size_t kFolderTextSize = 269;

// Reads HKLM\Software\Microsoft\Windows\CurrentVersion\ProgramFilesDir into out (256 bytes).
// Returns 1, or 0 after telling the user.
int ReadProgramFilesDir(Platform& platform, char* out, size_t size);
// The default install folder: Program Files\ZarbelPC, or "C:\ZarbelPC" when it cannot be read.
void MakeDefaultInstallFolder(Platform& platform, char* out, size_t size);
// Shows the folder browser over owner starting at folder; on confirmation replaces folder.
// Returns 1 when confirmed.
int BrowseForInstallFolder(Platform& platform, WindowHandle owner, char* folder, size_t size,
                           const char* title);
// Upper-cases, drops one trailing backslash, appends "\ZarbelPC" unless the name is in it. A text
// that is not terminated within size is first cut to size - 1 characters.
void NormaliseInstallFolder(char* folder, size_t size);
