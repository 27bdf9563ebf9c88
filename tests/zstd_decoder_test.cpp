// The Zstandard decoder against the reference command-line tool: generated
// data of every kind, compressed by `zstd` with options that bring out each
// block type, literals mode and sequences mode, decoded here and compared
// byte for byte. The frames are also taken apart by a small header reader of
// this test's own, so that the vectors are known to cover every mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/control.h"
#include "platform/zstd.h"
#include "support/stream_codecs.h"

using testing_support::Bytes;
using testing_support::zstdBytes;
using testing_support::ZstdInput;

namespace {

// --- Data of every kind, deterministic --------------------------------------

Bytes text(std::size_t size, uint32_t seed) {
    static const char* const words[] = {"the",    "mesh",  "node",      "of",     "a",        "scene",    "chunk",
                                        "with",   "light", "camera",    "vertex", "material", "is",       "and",
                                        "stream", "face",  "transform", "key",    "to",       "animation"};
    std::mt19937 random(seed);
    Bytes out;
    while (out.size() < size) {
        const char* word = words[random() % (sizeof words / sizeof words[0])];
        out.insert(out.end(), word, word + std::strlen(word));
        const uint32_t r = random() % 16;
        out.push_back(r == 0 ? '\n' : r == 1 ? ',' : ' ');
    }
    out.resize(size);
    return out;
}

Bytes randomBytes(std::size_t size, uint32_t seed, uint32_t alphabet = 256) {
    std::mt19937 random(seed);
    Bytes out(size);
    for (auto& b : out) b = static_cast<unsigned char>(alphabet == 256 ? random() : 'A' + random() % alphabet);
    return out;
}

Bytes runs(std::size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes out;
    while (out.size() < size) out.insert(out.end(), 1 + random() % 300, static_cast<unsigned char>(random() % 4));
    out.resize(size);
    return out;
}

Bytes periodic(std::size_t size, const std::string& pattern) {
    Bytes out;
    while (out.size() < size) out.insert(out.end(), pattern.begin(), pattern.end());
    out.resize(size);
    return out;
}

// Records of 4 random bytes and 28 fixed ones: every sequence has the same
// literal length, offset and match length.
Bytes records(std::size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    const Bytes fixed = text(28, seed + 1);
    Bytes out;
    for (std::size_t i = 0; i < count; ++i) {
        for (int k = 0; k < 4; ++k) out.push_back(static_cast<unsigned char>(random()));
        out.insert(out.end(), fixed.begin(), fixed.end());
    }
    return out;
}

// Little-endian floats of a smooth surface, like mesh data.
Bytes floats(std::size_t count) {
    Bytes out;
    for (std::size_t i = 0; i < count; ++i) {
        const float v = static_cast<float>(i % 97) * 0.25f + static_cast<float>(i / 97) * 0.5f;
        unsigned char b[4];
        std::memcpy(b, &v, 4);
        out.insert(out.end(), b, b + 4);
    }
    return out;
}

// Random data, then the same data with one byte inserted every 97: the
// second block's literals are all that byte.
Bytes insertions(std::size_t size, uint32_t seed) {
    const Bytes first = randomBytes(size, seed);
    Bytes out = first;
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (i % 97 == 0) out.push_back('Z');
        out.push_back(first[i]);
    }
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Random data repeated after a gap larger than the default window.
Bytes farRepeat(std::size_t size, uint32_t seed) {
    const Bytes once = randomBytes(size, seed);
    return concat({once, once});
}

Bytes skippableFrame(const Bytes& payload, uint32_t variant) {
    Bytes out{static_cast<unsigned char>(0x50 | variant), 0x2A, 0x4D, 0x18};
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(payload.size() >> (8 * i)));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

// --- What the frames use, read by this test ---------------------------------

struct Features {
    std::map<std::string, int> counts;
    void add(const std::string& feature) { ++counts[feature]; }
};

uint64_t le(const Bytes& b, std::size_t at, uint32_t bytes) {
    uint64_t v = 0;
    for (uint32_t i = bytes; i-- > 0;) v = v << 8 | b.at(at + i);
    return v;
}

// Walks frames and blocks (not the entropy-coded data) and notes the header
// fields of each.
void noteFeatures(const Bytes& frames, Features& f) {
    static const char* const blockTypes[] = {"block raw", "block RLE", "block compressed"};
    static const char* const literalTypes[] = {"literals raw", "literals RLE", "literals Huffman", "literals treeless"};
    static const char* const modes[] = {"predefined", "RLE", "FSE", "repeat"};
    static const char* const fields[] = {"literal lengths", "offsets", "match lengths"};
    std::size_t at = 0;
    while (at + 4 <= frames.size()) {
        const uint32_t magic = static_cast<uint32_t>(le(frames, at, 4));
        at += 4;
        if ((magic & 0xFFFFFFF0u) == 0x184D2A50u) {
            f.add("skippable frame");
            at += 4 + le(frames, at, 4);
            continue;
        }
        f.add("frame");
        const uint32_t descriptor = frames.at(at);
        const bool single = descriptor >> 5 & 1;
        const uint32_t fcsFlag = descriptor >> 6;
        const uint32_t fcsSize = fcsFlag == 0 ? (single ? 1 : 0) : 1u << fcsFlag;
        f.add(descriptor >> 2 & 1 ? "checksum" : "no checksum");
        f.add(fcsSize ? "content size" : "no content size");
        if (single) f.add("single segment");
        if (!single && (frames.at(at + 1) >> 3) + 10 > 23) f.add("window above 8 MiB");
        at += 1 + (single ? 0 : 1) + fcsSize;
        int blocks = 0;
        for (bool last = false; !last;) {
            const uint32_t header = static_cast<uint32_t>(le(frames, at, 3));
            last = header & 1;
            const uint32_t type = header >> 1 & 3;
            const uint32_t size = header >> 3;
            at += 3;
            ++blocks;
            f.add(blockTypes[type]);
            if (type == 2) {
                const uint32_t lit = frames.at(at);
                const uint32_t litType = lit & 3;
                const uint32_t sizeFormat = lit >> 2 & 3;
                f.add(literalTypes[litType]);
                std::size_t sectionSize = 0;
                if (litType < 2) {
                    const uint32_t headerSize = sizeFormat == 1 ? 2 : sizeFormat == 3 ? 3 : 1;
                    const uint32_t fieldsValue = static_cast<uint32_t>(le(frames, at, headerSize));
                    const uint32_t regenerated = headerSize == 1 ? fieldsValue >> 3 : fieldsValue >> 4;
                    sectionSize = headerSize + (litType == 0 ? regenerated : 1);
                } else {
                    const uint32_t headerSize = sizeFormat <= 1 ? 3 : sizeFormat + 2;
                    const uint32_t bits = headerSize == 3 ? 10 : headerSize == 4 ? 14 : 18;
                    const uint64_t v = le(frames, at, headerSize);
                    sectionSize = headerSize + ((v >> (4 + bits)) & ((1u << bits) - 1));
                    f.add(sizeFormat == 0 ? "Huffman 1 stream" : "Huffman 4 streams");
                }
                const std::size_t seq = at + sectionSize;
                const uint32_t count = frames.at(seq);
                if (count == 0) {
                    f.add("no sequences");
                } else {
                    const std::size_t modesAt = seq + (count < 128 ? 1 : count < 255 ? 2 : 3);
                    const uint32_t m = frames.at(modesAt);
                    for (int k = 0; k < 3; ++k) f.add(std::string(fields[k]) + " " + modes[m >> (6 - 2 * k) & 3]);
                }
            }
            at += type == 1 ? 1 : size;
        }
        if (blocks > 1) f.add("several blocks");
        if (descriptor >> 2 & 1) at += 4;
    }
}

// --- Vectors ------------------------------------------------------------------

struct Vector {
    std::string name;
    Bytes data;
    Bytes frames;
};

Vector toolVector(const std::string& name, Bytes data, const std::string& options, ZstdInput input = ZstdInput::Pipe) {
    Bytes frames = zstdBytes(data, options, input);
    return {name + " [" + options + (input == ZstdInput::File ? ", from a file" : "") + "]", std::move(data),
            std::move(frames)};
}

std::vector<Vector> vectors() {
    std::vector<Vector> v;
    const Bytes text100k = text(100 << 10, 1);
    for (int level = 1; level <= 19; ++level)
        v.push_back(toolVector("text 100 KiB", text100k, "-" + std::to_string(level)));
    v.push_back(toolVector("text 300 KiB", text(300 << 10, 2), "--ultra -22"));
    v.push_back(toolVector(
        "mixed 1 MiB",
        concat({text(300 << 10, 3), randomBytes(200 << 10, 4), Bytes(200 << 10, 0), runs(200 << 10, 5), floats(35000)}),
        "--ultra -22 --no-check"));
    v.push_back(toolVector("empty", {}, "-3"));
    v.push_back(toolVector("empty", {}, "-3", ZstdInput::File));
    v.push_back(toolVector("one byte", {'x'}, "-3"));
    v.push_back(toolVector("one byte", {'x'}, "-3 --no-check", ZstdInput::File));
    v.push_back(toolVector("five bytes", {'h', 'e', 'l', 'l', 'o'}, "-19", ZstdInput::File));
    v.push_back(toolVector("text 300 B", text(300, 6), "-3", ZstdInput::File));
    v.push_back(toolVector("text 300 B", text(300, 6), "-19"));
    v.push_back(toolVector("text 1 KiB", text(1 << 10, 7), "-9", ZstdInput::File));
    v.push_back(toolVector("text 2 MiB", text(2 << 20, 8), "-3"));
    v.push_back(toolVector("text 2 MiB", text(2 << 20, 8), "-12 --no-check", ZstdInput::File));
    v.push_back(toolVector("text 200 KiB", text(200 << 10, 9), "--fast=5"));
    v.push_back(toolVector("text 200 KiB", text(200 << 10, 9), "-3 --zstd=wlog=10"));
    v.push_back(toolVector("text 200 KiB", text(200 << 10, 9), "-19 --zstd=wlog=12,clog=10,hlog=10,slog=5"));
    v.push_back(toolVector("random 64 KiB", randomBytes(64 << 10, 10), "-3"));
    v.push_back(toolVector("random 300 KiB", randomBytes(300 << 10, 11), "-19", ZstdInput::File));
    v.push_back(toolVector("zeros 1 MiB", Bytes(1 << 20, 0), "-1"));
    v.push_back(toolVector("zeros 1 MiB", Bytes(1 << 20, 0), "-19", ZstdInput::File));
    v.push_back(toolVector("runs 500 KiB", runs(500 << 10, 12), "-5"));
    v.push_back(toolVector("periodic 400 KiB", periodic(400 << 10, "abcdefg"), "-3"));
    v.push_back(toolVector("records 4000", records(4000, 13), "-3"));
    v.push_back(toolVector("records 4000", records(4000, 13), "-19"));
    v.push_back(toolVector("4 letters 200 KiB", randomBytes(200 << 10, 14, 4), "-3"));
    v.push_back(toolVector("2 letters 200 KiB", randomBytes(200 << 10, 15, 2), "-8"));
    v.push_back(toolVector("26 letters 200 KiB", randomBytes(200 << 10, 16, 26), "-1"));
    v.push_back(toolVector("floats 1 MiB", floats(1 << 18), "-6"));
    v.push_back(toolVector("insertions 2 x 128 KiB", insertions(128 << 10, 17), "-3"));
    v.push_back(toolVector("insertions 2 x 128 KiB", insertions(128 << 10, 17), "-19"));
    v.push_back(toolVector("far repeat 2 x 5 MiB", farRepeat(5 << 20, 18), "-1 --long=24"));
    v.push_back(toolVector("far repeat 2 x 5 MiB", farRepeat(5 << 20, 18), "-3 --long=27", ZstdInput::File));

    // Several frames back to back, with skippable frames among them.
    const Bytes a = text(50 << 10, 19);
    const Bytes b = randomBytes(20 << 10, 20);
    v.push_back({"two frames", concat({a, b}), concat({zstdBytes(a, "-5"), zstdBytes(b, "-5", ZstdInput::File)})});
    v.push_back({"skippable frames around a frame", a,
                 concat({skippableFrame(Bytes(10, 7), 0), zstdBytes(a, "-2"), skippableFrame({}, 15)})});
    return v;
}

Bytes decoded(const Bytes& frames, zstd::Status& status, uint32_t limit = 1u << 30) {
    OutputBuffer out;
    out.limit = limit;
    status = zstd::decode(frames.data(), static_cast<uint32_t>(frames.size()), out);
    Bytes result(out.data, out.data + out.size);
    releaseOutput(out);
    return result;
}

const char* statusText(zstd::Status s) {
    switch (s) {
        case zstd::Status::Ok:
            return "ok";
        case zstd::Status::Damaged:
            return "damaged";
        case zstd::Status::TooLarge:
            return "too large";
        case zstd::Status::NoMemory:
            return "no memory";
    }
    return "?";
}

}  // namespace

TEST(ZstdDecoder, AgreesWithTheToolOnEveryVector) {
    const int heap = PlatformHeapBlocksInUse();
    Features features;
    int agreed = 0;
    const std::vector<Vector> all = vectors();
    for (const Vector& v : all) {
        SCOPED_TRACE(v.name);
        ASSERT_FALSE(v.frames.empty()) << "the tool made no frame";
        noteFeatures(v.frames, features);
        zstd::Status status;
        const Bytes out = decoded(v.frames, status);
        const bool same = status == zstd::Status::Ok && out == v.data;
        EXPECT_EQ(status, zstd::Status::Ok);
        EXPECT_TRUE(same) << "decoded " << out.size() << " bytes of " << v.data.size();
        agreed += same ? 1 : 0;
        std::printf("  %-70s %9zu -> %8zu bytes: %s\n", v.name.c_str(), v.data.size(), v.frames.size(),
                    same ? "same bytes" : statusText(status));
    }
    std::printf("zstd vectors: %d of %zu decoded to the same bytes\n", agreed, all.size());
    std::printf("features seen:");
    for (const auto& [name, count] : features.counts) std::printf(" %s %d;", name.c_str(), count);
    std::printf("\n");

    for (const char* wanted : {"block raw",
                               "block RLE",
                               "block compressed",
                               "literals raw",
                               "literals RLE",
                               "literals Huffman",
                               "literals treeless",
                               "Huffman 1 stream",
                               "Huffman 4 streams",
                               "no sequences",
                               "literal lengths predefined",
                               "literal lengths RLE",
                               "literal lengths FSE",
                               "literal lengths repeat",
                               "offsets predefined",
                               "offsets RLE",
                               "offsets FSE",
                               "offsets repeat",
                               "match lengths predefined",
                               "match lengths RLE",
                               "match lengths FSE",
                               "match lengths repeat",
                               "checksum",
                               "no checksum",
                               "content size",
                               "no content size",
                               "single segment",
                               "several blocks",
                               "window above 8 MiB",
                               "skippable frame"}) {
        EXPECT_GT(features.counts[wanted], 0) << "no vector uses " << wanted;
    }
    EXPECT_EQ(PlatformHeapBlocksInUse(), heap);
}

namespace {

const Bytes FrameMagic{0x28, 0xB5, 0x2F, 0xFD};

// A frame made by hand: the magic number, a header and raw bytes as blocks.
Bytes handFrame(const Bytes& header, std::initializer_list<Bytes> rawBlocks) {
    Bytes out = FrameMagic;
    out.insert(out.end(), header.begin(), header.end());
    std::size_t i = 0;
    for (const Bytes& block : rawBlocks) {
        const uint32_t h = static_cast<uint32_t>(block.size()) << 3 | (++i == rawBlocks.size() ? 1 : 0);
        for (int k = 0; k < 3; ++k) out.push_back(static_cast<unsigned char>(h >> (8 * k)));
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

Bytes withoutLast(Bytes bytes, std::size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

}  // namespace

TEST(ZstdDecoder, FrameHeadersAndBlocksOutsideTheFormatAreRefused) {
    const Bytes hello{'h', 'e', 'l', 'l', 'o'};
    zstd::Status status;
    // Descriptor 0: no content size, no checksum, no dictionary; window 1 KiB.
    EXPECT_EQ(decoded(handFrame({0x00, 0x00}, {hello}), status), hello);
    EXPECT_EQ(status, zstd::Status::Ok);
    EXPECT_EQ(decoded(handFrame({0x00, 0x00}, {hello, {}, hello}), status), concat({hello, hello}));
    EXPECT_EQ(status, zstd::Status::Ok) << "empty blocks are allowed";
    EXPECT_EQ(decoded(handFrame({0x01, 0x00, 0x00}, {hello}), status), hello);
    EXPECT_EQ(status, zstd::Status::Ok) << "a dictionary id of 0 names no dictionary";
    EXPECT_TRUE(decoded(concat({FrameMagic, {0x00, 0x00, 0x03, 0x00, 0x00, 'z'}}), status).empty());
    EXPECT_EQ(status, zstd::Status::Ok) << "an RLE block of no bytes, before any output";

    struct Case {
        const char* what;
        Bytes frames;
    };
    const Case refused[] = {
        {"no input", {}},
        {"a dictionary", handFrame({0x01, 0x00, 0x05}, {hello})},
        {"the reserved bit", handFrame({0x08, 0x00}, {hello})},
        {"a window beyond the limit", handFrame({0x00, 0xF8}, {hello})},
        {"a block larger than the window", handFrame({0x00, 0x00}, {Bytes(1025, 'x')})},
        {"a block larger than the single segment", handFrame({0x20, 4}, {hello})},
        {"content shorter than its size", handFrame({0x20, 6}, {hello})},
        {"the reserved block type", concat({FrameMagic, {0x00, 0x00, 0x07, 0x00, 0x00}})},
        {"a missing last block", concat({FrameMagic, {0x00, 0x00, 0x28, 0x00, 0x00}, hello})},
        {"a stray byte after the frame", concat({handFrame({0x00, 0x00}, {hello}), Bytes(1, 0)})},
        {"an unknown magic number", {0x27, 0xB5, 0x2F, 0xFD, 0x00, 0x00, 0x01, 0x00, 0x00}},
        {"a skippable frame longer than the input", {0x5A, 0x2A, 0x4D, 0x18, 0x10, 0x00, 0x00, 0x00, 1, 2, 3}},
        {"a frame without its checksum", withoutLast(zstdBytes(hello, "-3"), 4)},
    };
    for (const Case& c : refused) {
        decoded(c.frames, status);
        EXPECT_EQ(status, zstd::Status::Damaged) << c.what;
    }
}

TEST(ZstdDecoder, ChecksumsAndContentSizesAreVerified) {
    const Bytes data = text(40 << 10, 30);
    Bytes frames = zstdBytes(data, "-5", ZstdInput::File);
    zstd::Status status;
    ASSERT_EQ(decoded(frames, status), data);
    frames[frames.size() - 2] ^= 0x10;
    decoded(frames, status);
    EXPECT_EQ(status, zstd::Status::Damaged) << "a wrong checksum";

    // A content size one more than the content.
    Bytes sized = zstdBytes(data, "-5 --no-check", ZstdInput::File);
    ASSERT_NE(sized[4] >> 6, 0) << "a content size";
    const std::size_t sizeAt = 4 + 1 + ((sized[4] >> 5 & 1) ? 0 : 1);
    ++sized[sizeAt];
    decoded(sized, status);
    EXPECT_EQ(status, zstd::Status::Damaged);
}

TEST(ZstdDecoder, OutputStopsAtItsLimit) {
    const int heap = PlatformHeapBlocksInUse();
    zstd::Status status;
    const Bytes zeros(1 << 20, 0);
    // Without a content size the decoder finds out block by block.
    const Bytes streamed = zstdBytes(zeros, "-1");
    EXPECT_EQ(decoded(streamed, status, 1 << 20).size(), zeros.size());
    EXPECT_EQ(status, zstd::Status::Ok) << "exactly the limit";
    EXPECT_LE(decoded(streamed, status, (1 << 20) - 1).size(), (1u << 20) - 1);
    EXPECT_EQ(status, zstd::Status::TooLarge);
    // With one it refuses at once.
    EXPECT_TRUE(decoded(zstdBytes(zeros, "-1", ZstdInput::File), status, 1000).empty());
    EXPECT_EQ(status, zstd::Status::TooLarge);
    // The limit counts the content of all frames.
    const Bytes two = concat({streamed, streamed});
    EXPECT_EQ(decoded(two, status, 2 << 20).size(), 2u << 20);
    EXPECT_EQ(status, zstd::Status::Ok);
    decoded(two, status, (2 << 20) - 1);
    EXPECT_EQ(status, zstd::Status::TooLarge);
    EXPECT_EQ(PlatformHeapBlocksInUse(), heap);
}

// Mutated frames: whatever the decoder makes of them, it stays within its
// input and output; where it and the tool both accept a frame they agree, and
// what the tool refuses it refuses too. It may refuse more: it requires every
// entropy-coded stream to be used up exactly, which the tool does not check
// on all of its paths.
TEST(ZstdDecoder, MutatedFramesAreRefusedOrAgreeWithTheTool) {
    const int heap = PlatformHeapBlocksInUse();
    const Bytes sources[] = {text(3000, 40), records(60, 41), concat({text(600, 42), randomBytes(200, 43)})};
    std::mt19937 random(44);
    int accepted = 0, refusedByBoth = 0, refusedHere = 0, runs = 0;
    for (const Bytes& source : sources) {
        for (const char* options : {"-3 --no-check", "-19 --no-check"}) {
            const Bytes frames = zstdBytes(source, options);
            for (std::size_t cut = 0; cut < frames.size(); ++cut) {
                zstd::Status status;
                decoded(Bytes(frames.begin(), frames.begin() + static_cast<std::ptrdiff_t>(cut)), status);
                EXPECT_NE(status, zstd::Status::Ok) << "cut at " << cut;
            }
            for (int round = 0; round < 40; ++round) {
                Bytes mutated = frames;
                const int changes = 1 + static_cast<int>(random() % 3);
                for (int c = 0; c < changes; ++c) {
                    const std::size_t at = 6 + random() % (mutated.size() - 6);
                    mutated[at] ^= static_cast<unsigned char>(1u << (random() % 8));
                }
                zstd::Status status;
                const Bytes ours = decoded(mutated, status);
                bool toolRefused = false;
                const Bytes theirs = testing_support::zstdDecoded(mutated, &toolRefused);
                ++runs;
                if (status == zstd::Status::Ok && !toolRefused) {
                    EXPECT_EQ(ours, theirs) << "both accept a mutation but disagree";
                    ++accepted;
                } else if (toolRefused) {
                    EXPECT_NE(status, zstd::Status::Ok) << "the tool refuses what the decoder accepts";
                    ++refusedByBoth;
                } else {
                    ++refusedHere;
                }
            }
        }
    }
    std::printf(
        "mutated frames: %d runs, %d accepted by both with the same bytes, %d refused by both, %d refused here "
        "only\n",
        runs, accepted, refusedByBoth, refusedHere);
    EXPECT_EQ(PlatformHeapBlocksInUse(), heap);
}
