#include "ui/RtfStream.h"

#include <cstring>

RtfStreamState gRtfStream;

void BeginRtfStream(const unsigned char* bytes, int32_t length) {
    gRtfStream.source = bytes;
    gRtfStream.length = length;
    gRtfStream.delivered = 0;
}

uint32_t ReadRtfChunk(uintptr_t, unsigned char* buffer, int32_t requested, int32_t* count) {
    RtfStreamState& stream = gRtfStream;
    if (requested < 0) {
        return 1;  // no control asks for that; copying would run off the buffer
    }
    // 64 bits, so that a huge request cannot wrap the sum around into a small number and be
    // served beyond the end of the document.
    if (static_cast<int64_t>(stream.delivered) + requested < stream.length) {
        memcpy(buffer, stream.source + stream.delivered, static_cast<size_t>(requested));
        stream.delivered += requested;
        *count = requested;
        return 0;
    }
    if (stream.delivered >= stream.length) {
        return 1;
    }
    int32_t rest = stream.length - stream.delivered;
    memcpy(buffer, stream.source + stream.delivered, static_cast<size_t>(rest));
    stream.delivered = stream.length;
    *count = rest;
    return 0;
}
