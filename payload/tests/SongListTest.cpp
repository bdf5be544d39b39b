#include "payload/songcheck/SongList.h"

#include <gtest/gtest.h>

namespace {

using songs::SongKind;

TEST(SongKind, ByExtensionWithoutRegardToCase) {
    struct Row {
        const char* name;
        SongKind kind;
    };
    const Row rows[] = {
        {"Volare.kar", SongKind::kMidiKaraoke},
        {"VOLARE.KAR", SongKind::kMidiKaraoke},
        {"base.mid", SongKind::kMidi},
        {"base.Midi", SongKind::kMidi},
        {"duet.zbk", SongKind::kProductSong},
        {"notes.txt", SongKind::kNone},
        {"kar", SongKind::kNone},
        {".kar", SongKind::kNone},
        {"song.kar.bak", SongKind::kNone},
        {"DefaultPlaylist.pls", SongKind::kNone},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.kind, songs::KindOf(row.name)) << row.name;
    }
}

TEST(SongHeader, MidiNeedsAnMThdChunkOfSixBytes) {
    unsigned char midi[songs::kHeaderSize] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 1, 0xE0};
    EXPECT_EQ(1, songs::HeaderMatches(SongKind::kMidiKaraoke, midi, sizeof midi));
    EXPECT_EQ(1, songs::HeaderMatches(SongKind::kMidi, midi, sizeof midi));
    EXPECT_EQ(0, songs::HeaderMatches(SongKind::kMidi, midi, sizeof midi - 1));
    midi[9] = 3;  // no such MIDI format
    EXPECT_EQ(0, songs::HeaderMatches(SongKind::kMidi, midi, sizeof midi));
    midi[9] = 0;
    midi[7] = 7;
    EXPECT_EQ(0, songs::HeaderMatches(SongKind::kMidi, midi, sizeof midi));
    const unsigned char riff[songs::kHeaderSize] = {'R', 'I', 'F', 'F'};
    EXPECT_EQ(0, songs::HeaderMatches(SongKind::kMidiKaraoke, riff, sizeof riff));
}

TEST(SongHeader, ProductSongsOpenWithTheirMarkAndVersion) {
    const unsigned char good[] = {'Z', 'B', 'K', 1};
    const unsigned char noVersion[] = {'Z', 'B', 'K', 0};
    EXPECT_EQ(1, songs::HeaderMatches(SongKind::kProductSong, good, sizeof good));
    EXPECT_EQ(0, songs::HeaderMatches(SongKind::kProductSong, noVersion, sizeof noVersion));
    EXPECT_EQ(0, songs::HeaderMatches(SongKind::kProductSong, good, 3));
    EXPECT_EQ(0, songs::HeaderMatches(SongKind::kNone, good, sizeof good));
}

}  // namespace
