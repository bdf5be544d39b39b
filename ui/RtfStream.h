// Feeds an RTF document held in memory to a rich edit control, which pulls it through a reader
// callback in chunks of its own choosing.
#pragma once

#include <cstdint>

// The one stream in progress; every new stream starts it afresh.
struct RtfStreamState {
    const unsigned char* source;
    int32_t length;
    int32_t delivered;  // bytes already handed to the control
};

// The cookie that the stream descriptor carries; the reader does not look at it.
constexpr uintptr_t kRtfStreamCookie = 111;

extern RtfStreamState gRtfStream;

// Starts a stream of the given bytes: delivered goes back to 0.
void BeginRtfStream(const unsigned char* bytes, int32_t length);

// The reader: copies up to `requested` bytes into buffer and stores the count in *count.
// Returns 0 to go on, or 1 once everything has been delivered (then *count is not touched): the
// reader never answers with a count of 0, the call after the last byte gets the stop value.
// A request that reaches the end exactly is served in full. Bytes are copied as they are.
uint32_t ReadRtfChunk(uintptr_t cookie, unsigned char* buffer, int32_t requested, int32_t* count);
