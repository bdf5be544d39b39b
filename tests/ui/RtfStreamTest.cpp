#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/RtfStream.h"

namespace {

// Pulls a whole stream as a rich edit control does: fixed requests until the stop value.
// Returns the sizes of the chunks delivered; the bytes go to *out.
std::vector<int32_t> Pull(int32_t request, std::vector<unsigned char>* out, int maxCalls = 100) {
    std::vector<int32_t> chunks;
    std::vector<unsigned char> buffer(static_cast<size_t>(request) + 16, 0xEE);
    for (int i = 0; i < maxCalls; ++i) {
        std::fill(buffer.begin(), buffer.end(), 0xEE);
        int32_t count = -7;
        uint32_t stop = ReadRtfChunk(kRtfStreamCookie, buffer.data(), request, &count);
        if (stop != 0) {
            EXPECT_EQ(1u, stop);
            EXPECT_EQ(-7, count) << "the stop value leaves the count untouched";
            return chunks;
        }
        EXPECT_GT(count, 0) << "a chunk of 0 bytes is never delivered";
        EXPECT_LE(count, request);
        EXPECT_EQ(0xEE, buffer[static_cast<size_t>(count)]) << "nothing written past the count";
        chunks.push_back(count);
        out->insert(out->end(), buffer.begin(), buffer.begin() + count);
    }
    ADD_FAILURE() << "no stop value";
    return chunks;
}

std::vector<unsigned char> Document(size_t size) {
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    return bytes;
}

}  // namespace

TEST(RtfStream, DeliversFullRequestsThenTheTailThenStops) {
    struct Row {
        size_t size;
        int32_t request;
        std::vector<int32_t> chunks;
    };
    const Row rows[] = {
        {13386, 4096, {4096, 4096, 4096, 1098}},
        {8192, 4096, {4096, 4096}},  // the second chunk reaches the end exactly: tail step
        {4095, 4096, {4095}},
        {1, 4096, {1}},
        {0, 4096, {}},  // an empty document: the first request stops
        {10, 3, {3, 3, 3, 1}},
    };
    for (const Row& row : rows) {
        std::vector<unsigned char> doc = Document(row.size);
        BeginRtfStream(doc.data(), static_cast<int32_t>(doc.size()));
        std::vector<unsigned char> got;
        EXPECT_EQ(row.chunks, Pull(row.request, &got)) << row.size;
        EXPECT_EQ(doc, got) << "bytes copied as they are";
        EXPECT_EQ(static_cast<int32_t>(row.size), gRtfStream.delivered);
        // After the end every further call stops again.
        unsigned char b[4];
        int32_t count = 0;
        EXPECT_EQ(1u, ReadRtfChunk(0, b, 4, &count));
    }
}

TEST(RtfStream, ANewStreamStartsAgainFromTheBeginning) {
    std::vector<unsigned char> first = Document(5000);
    BeginRtfStream(first.data(), 5000);
    std::vector<unsigned char> got;
    Pull(4096, &got);
    std::vector<unsigned char> second = {'{', '\\', 'r', 't', 'f', '1', '}'};
    BeginRtfStream(second.data(), static_cast<int32_t>(second.size()));
    EXPECT_EQ(0, gRtfStream.delivered);
    got.clear();
    EXPECT_EQ((std::vector<int32_t>{7}), Pull(4096, &got));
    EXPECT_EQ(second, got);
}

TEST(RtfStream, OutlandishRequestsNeverReadPastTheDocument) {
    std::vector<unsigned char> doc = Document(100);
    BeginRtfStream(doc.data(), 100);
    unsigned char buffer[128];
    int32_t count = 0;
    ASSERT_EQ(0u, ReadRtfChunk(0, buffer, 60, &count));
    // delivered + requested overflows 32 bits: served as the tail, 40 bytes, not INT32_MAX.
    ASSERT_EQ(0u, ReadRtfChunk(0, buffer, INT32_MAX, &count));
    EXPECT_EQ(40, count);
    EXPECT_EQ(100, gRtfStream.delivered);
    BeginRtfStream(doc.data(), 100);
    count = -7;
    EXPECT_EQ(1u, ReadRtfChunk(0, buffer, -5, &count));
    EXPECT_EQ(-7, count);
    EXPECT_EQ(0, gRtfStream.delivered);
}
