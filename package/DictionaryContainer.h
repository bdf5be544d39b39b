// The dictionary container "DICT.DIC": the setup's texts, scrambled, behind a length and a
// checksum. Layout, integers little-endian: payload length N (4 bytes), checksum S (4 bytes, the
// sum modulo 2^32 of the N payload bytes as stored), then the N payload bytes, each combined by
// exclusive-or with the key character of its position in the payload modulo 12.
#pragma once

#include <cstddef>
#include <cstdint>

class FileSystem;
class WriteStream;

// The scrambling key; its length (12) is the length of the key cycle.
constexpr char kDictionaryKey[] = "morvalintesa";
constexpr size_t kDictionaryKeyLength = sizeof kDictionaryKey - 1;
constexpr size_t kDictionaryHeaderSize = 8;

// What became of one unscramble, for callers that tell the user which test failed.
enum class DictionaryStatus {
    kOk,
    kCannotOpen,    // the container is missing or unreadable; no plain file was created
    kCannotCreate,  // the plain file cannot be created
    kBadLength,     // N is not the container's length minus 8; the plain file is left empty
    kBadChecksum,   // the plain file holds the whole unscrambled payload
    kCannotWrite,   // the plain file could not be written completely
};

// Scrambles or unscrambles (the same operation) size bytes in place; position is the index of
// data[0] in the payload, so that a payload can be processed in pieces.
void ScrambleDictionaryBytes(unsigned char* data, size_t size, size_t position);

// Verifies the container at containerPath and writes its plain payload to plainPath (created or
// emptied). Returns 1 when both tests passed and the payload was written, else 0; it shows no
// message. Both files stay as they are after a failure (see DictionaryStatus). status may be null.
int UnscrambleDictionary(FileSystem& files, const char* containerPath, const char* plainPath,
                         DictionaryStatus* status = nullptr);

// Writes the container of a plain dictionary text of size bytes to out and closes it. Returns 1,
// or 0 when the text is too long for the 32-bit length field or the stream did not take it all.
int WriteDictionaryContainer(WriteStream& out, const unsigned char* plain, size_t size);

// One line of text naming the status, for tools.
const char* DescribeDictionaryStatus(DictionaryStatus status);
