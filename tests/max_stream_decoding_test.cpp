// The decoding of compressed MAX streams on its own: the names, the bound
// against decompression bombs, gzip members through zlib and zstd streams
// with their wrappers.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "max/stream_decoding.h"
#include "platform/control.h"
#include "support/max_writer.h"
#include "support/stream_codecs.h"

using namespace testing_support;

namespace {

struct Decoded {
    DecodeStatus status;
    Bytes bytes;
};

Decoded decode(const Bytes& stored, StreamRole role = StreamRole::Other, uint32_t limit = 0) {
    OutputBuffer out;
    out.limit = limit ? limit : decodedLimit(static_cast<uint32_t>(stored.size()));
    const DecodeStatus status = decodeStreamBytes(stored.data(), static_cast<uint32_t>(stored.size()), role, out);
    Decoded result{status, Bytes(out.data, out.data + out.size)};
    releaseOutput(out);
    return result;
}

Bytes somePayload(std::size_t size) {
    std::mt19937 random(7);
    Bytes out(size);
    for (auto& b : out) b = static_cast<unsigned char>('a' + random() % 6);
    return out;
}

Bytes withoutLast(Bytes bytes, std::size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

Bytes join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(MaxStreamDecoding, GzipMembersInflate) {
    const int heap = PlatformHeapBlocksInUse();
    const Bytes payload = somePayload(300000);
    const Bytes one = gzipBytes(payload);
    Decoded d = decode(one);
    EXPECT_EQ(d.status, DecodeStatus::Ok);
    EXPECT_TRUE(d.bytes == payload);

    d = decode(join(one, gzipBytes({'x', 'y'})));
    EXPECT_EQ(d.status, DecodeStatus::Ok) << "members back to back";
    EXPECT_TRUE(d.bytes == join(payload, {'x', 'y'}));

    EXPECT_EQ(decode(join(one, {0x00})).status, DecodeStatus::Damaged) << "a stray byte after the member";
    for (std::size_t cut : {std::size_t{2}, std::size_t{10}, one.size() / 2, one.size() - 4, one.size() - 1}) {
        EXPECT_EQ(decode(withoutLast(one, one.size() - cut)).status, DecodeStatus::Damaged) << "cut at " << cut;
    }
    Bytes wrongCrc = one;
    wrongCrc[wrongCrc.size() - 6] ^= 1;
    EXPECT_EQ(decode(wrongCrc).status, DecodeStatus::Damaged);
    EXPECT_EQ(decode(one, StreamRole::Other, 1000).status, DecodeStatus::TooLarge);
    EXPECT_EQ(decode(gzipBytes(Bytes(1 << 20, 0))).status, DecodeStatus::TooLarge)
        << "zeros shrink far more than 256 times";
    EXPECT_EQ(PlatformHeapBlocksInUse(), heap);
}

TEST(MaxStreamDecoding, ZstdStreamsLoseTheirWrapper) {
    const int heap = PlatformHeapBlocksInUse();
    const Bytes chunks = somePayload(5000);
    Decoded d = decode(zstdStream(wrappedStream(0x2204, chunks)));
    EXPECT_EQ(d.status, DecodeStatus::Ok);
    EXPECT_TRUE(d.bytes == chunks) << "the 6-byte wrapper comes off";

    // The Scene's streamed top container gets the header of the plain form.
    d = decode(zstdStream(streamedScene(0x2029, chunks)), StreamRole::Scene);
    ASSERT_EQ(d.status, DecodeStatus::Ok);
    ASSERT_EQ(d.bytes.size(), 14 + chunks.size());
    const Bytes header(d.bytes.begin(), d.bytes.begin() + 14);
    Bytes expected{0x29, 0x20, 0, 0, 0, 0};
    const uint64_t length = d.bytes.size() | uint64_t{1} << 63;
    for (int i = 0; i < 8; ++i) expected.push_back(static_cast<unsigned char>(length >> (8 * i)));
    EXPECT_EQ(header, expected);
    EXPECT_TRUE(std::equal(chunks.begin(), chunks.end(), d.bytes.begin() + 14));

    struct Case {
        const char* what;
        Bytes stored;
        StreamRole role;
    };
    const Case damaged[] = {
        {"a stream without its wrapper", zstdStream(chunks), StreamRole::Other},
        {"a scene without its streamed header", zstdStream(chunks), StreamRole::Scene},
        {"a scene with an ordinary 64-bit header", zstdStream(Chunk::container(0x2029, {}).longHeader().bytes()),
         StreamRole::Scene},
        {"a wrapper cut short", zstdStream({0x04, 0x22, 0xFF, 0xFF}), StreamRole::Other},
        {"a frame cut short", withoutLast(zstdStream(chunks), 5), StreamRole::Other},
        {"no frame after FF FF", {0xFF, 0xFF, 0x28, 0xB5, 0x2F, 0xFD}, StreamRole::Other},
        {"plain chunks", Chunk::int32s(0x0001, {1}).bytes(), StreamRole::Other},
    };
    for (const Case& c : damaged) EXPECT_EQ(decode(c.stored, c.role).status, DecodeStatus::Damaged) << c.what;
    EXPECT_EQ(decode(zstdStream(wrappedStream(0x2204, Bytes(1 << 20, 0)))).status, DecodeStatus::TooLarge);
    EXPECT_EQ(PlatformHeapBlocksInUse(), heap);
}
