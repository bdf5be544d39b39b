// The song-file associations of the product for the current user: which keys assocset writes
// under Software\Classes and how it takes exactly those back.
#pragma once

#include <cstddef>

#include "payload/common/RegistryAccess.h"

namespace assoc {

// The class that the song extensions point to.
constexpr const char* kProgId = "ZarBelPC.Song";
constexpr const char* kProgIdDescription = "ZarBelPC karaoke song";
// Where an association that was there before ours is kept, inside the extension's key, so that
// removing ours can put it back.
constexpr const char* kPreviousValue = "ZarBelPC.Previous";
constexpr const char* kProgramName = "ZarBelPC.EXE";

// ".kar" is the usual MIDI karaoke file, ".zbk" the product's own song file.
constexpr int kSongExtensionCount = 2;
extern const char* const kSongExtensions[kSongExtensionCount];

// The open command: the quoted program path in programFolder, then "%1" in quotes.
// Returns 1 when it fits, else 0 with out empty.
int BuildOpenCommand(char* out, size_t outSize, const char* programFolder);

// Points the song extensions at kProgId and makes kProgId open them with the main program in
// programFolder. Writes nothing when the program's path is too long. Returns 1 when every
// value was written.
int RegisterSongFiles(RegistryAccess& registry, const char* programFolder);

// Removes what RegisterSongFiles wrote and restores associations it replaced. An extension
// that another program has taken over since is left to that program. Returns 1 when nothing
// of ours is left.
int UnregisterSongFiles(RegistryAccess& registry);

}  // namespace assoc
