// Song file kinds and their headers.
#include "payload/songcheck/SongList.h"

#include <cstring>

#include "platform/Text.h"

namespace songs {

SongKind KindOf(const char* fileName) {
    const char* dot = strrchr(fileName, '.');
    if (dot == nullptr || dot == fileName) {
        return SongKind::kNone;
    }
    if (text::EqualNoCase(dot, ".kar")) {
        return SongKind::kMidiKaraoke;
    }
    if (text::EqualNoCase(dot, ".mid") || text::EqualNoCase(dot, ".midi")) {
        return SongKind::kMidi;
    }
    if (text::EqualNoCase(dot, ".zbk")) {
        return SongKind::kProductSong;
    }
    return SongKind::kNone;
}

int HeaderMatches(SongKind kind, const unsigned char* bytes, size_t count) {
    switch (kind) {
        case SongKind::kMidiKaraoke:
        case SongKind::kMidi: {
            static const unsigned char kChunk[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
            if (count < kHeaderSize || memcmp(bytes, kChunk, sizeof kChunk) != 0) {
                return 0;
            }
            unsigned format = (static_cast<unsigned>(bytes[8]) << 8) | bytes[9];
            return format <= 2;
        }
        case SongKind::kProductSong:
            return count >= 4 && memcmp(bytes, "ZBK", 3) == 0 && bytes[3] >= 1;
        case SongKind::kNone:
            break;
    }
    return 0;
}

}  // namespace songs
