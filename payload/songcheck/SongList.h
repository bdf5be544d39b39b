// Which files in the songs folder are songs, and whether a song's first bytes fit its kind.
#pragma once

#include <cstddef>

namespace songs {

enum class SongKind {
    kNone,         // not a song
    kMidiKaraoke,  // ".kar": a MIDI file with lyric events
    kMidi,         // ".mid", ".midi"
    kProductSong,  // ".zbk": the product's own song file
};

SongKind KindOf(const char* fileName);

// The number of first bytes HeaderMatches looks at.
constexpr size_t kHeaderSize = 14;

// Whether the first bytes of a file fit its kind: MIDI files open with an "MThd" chunk of
// length 6 and a format of 0, 1 or 2; product songs with "ZBK" and a version byte.
int HeaderMatches(SongKind kind, const unsigned char* bytes, size_t count);

}  // namespace songs
