// The MAX importer's low-level readers on their own: the chunk reader and
// the reference lists.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/module_state.h"
#include "host/app.h"
#include "max/chunk_reader.h"
#include "max/compound_document.h"
#include "max/max.h"
#include "max/references.h"
#include "platform/control.h"
#include "platform/heap.h"
#include "support/max_writer.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

class MaxReader : public ::testing::Test {
 protected:
    void SetUp() override { hostApp = &app; }
    void TearDown() override {
        closeMaxFile(file);
        hostApp = nullptr;
    }
    // Opens a file whose "Scene" stream holds bytes.
    void open(const Bytes& scene) {
        openMaxFile(file, writeTempFile("reader.max", writeCompound({{"Scene", scene}})).c_str());
        ASSERT_NE(file.stream, nullptr);
    }

    refhost::App app;
    MaxFile file{};
};

}  // namespace

TEST_F(MaxReader, HeadersKindsAndLengths) {
    open(concat({Chunk::container(0x1111, {Chunk::int32s(0x2222, {7})}), Chunk::data(0x3333, Bytes(94, 0xAB)),
                 Chunk::data(0x4444)}));
    ChunkHeader h{};
    readChunkHeader(file, h);
    EXPECT_EQ(h.id, 0x1111);
    EXPECT_EQ(h.kind, ChunkKindContainer);
    EXPECT_EQ(h.length, 16u) << "0x80000010 is a container of 16 bytes";
    EXPECT_EQ(h.position, 0u);

    ChunkHeader sub{};
    ASSERT_TRUE(nextChunk(file, chunkEnd(h), sub));
    EXPECT_EQ(sub.id, 0x2222);
    EXPECT_EQ(sub.kind, ChunkKindData);
    EXPECT_EQ(readInt32(file), 7);
    skipChunk(file, sub);
    EXPECT_FALSE(nextChunk(file, chunkEnd(h), sub)) << "the container holds one chunk";

    skipChunk(file, h);
    ChunkHeader data{};
    ASSERT_TRUE(nextChunk(file, streamSize(file), data));
    readInt32(file);  // a handler that reads only 4 of its bytes
    const uint32_t position = tellPosition(file);
    EXPECT_EQ(streamSize(file), 16u + 100 + 6);
    EXPECT_EQ(tellPosition(file), position) << "taking the size leaves the position";
    skipChunk(file, data);
    EXPECT_EQ(tellPosition(file), data.position + 100);
    ChunkHeader empty{};
    ASSERT_TRUE(nextChunk(file, streamSize(file), empty));
    EXPECT_EQ(empty.id, 0x4444);
    EXPECT_EQ(readChunkString(file, empty), nullptr) << "a chunk of 6 bytes holds no data";
    skipChunk(file, empty);
    EXPECT_FALSE(nextChunk(file, streamSize(file), empty)) << "the end of the stream";
    EXPECT_EQ(readInt32(file), 0) << "nothing is left to read";
}

TEST_F(MaxReader, BadLengthsEndTheWalkOrAreCut) {
    open(concat({Chunk::container(
                     0x1000, {Chunk::data(0x0001, Bytes(20, 1)).storedLength(200), Chunk::data(0x0002, Bytes(4, 2))}),
                 Chunk::data(0x2000, Bytes(8, 3)).storedLength(5), Chunk::data(0x3000, Bytes(8, 3))}));
    ChunkHeader top{};
    ASSERT_TRUE(nextChunk(file, streamSize(file), top));
    ChunkHeader c{};
    ASSERT_TRUE(nextChunk(file, chunkEnd(top), c));
    EXPECT_EQ(c.length, top.length - 6) << "cut to its container";
    skipChunk(file, c);
    EXPECT_FALSE(nextChunk(file, chunkEnd(top), c)) << "the cut chunk took the rest";
    skipChunk(file, top);
    EXPECT_FALSE(nextChunk(file, streamSize(file), c)) << "a length below 6 ends the walk";
    EXPECT_EQ(c.id, 0x2000);
}

TEST_F(MaxReader, StringsAreNarrowedByTheirLength) {
    Bytes units = Chunk::utf16(0x0962, "Hello").bytes();
    units[6 + 2 * 1 + 1] = 0x01;  // a high byte is dropped
    Bytes odd = Chunk::data(0x0962, {'A', 0, 'B'}).bytes();
    Bytes stream = units;
    stream.insert(stream.end(), odd.begin(), odd.end());
    open(stream);
    ChunkHeader h{};
    ASSERT_TRUE(nextChunk(file, streamSize(file), h));
    char* text = readChunkString(file, h);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Hello") << "five units without a terminator";
    heapFree(text);
    skipChunk(file, h);
    ASSERT_TRUE(nextChunk(file, streamSize(file), h));
    text = readChunkString(file, h);
    EXPECT_STREQ(text, "A") << "an odd byte is not a unit";
    heapFree(text);
}

TEST_F(MaxReader, ReferenceListsCountWholeEntries) {
    open(concat({Chunk::data(0x2034, Bytes{1, 0, 0, 0, 2, 0, 0, 0}), Chunk::data(0x2034, Bytes{3, 0, 0, 0, 9, 9, 9}),
                 Chunk::data(0x2036, Bytes{1, 0, 0, 0}), Chunk::data(0x2034)}));
    const int32_t expectedCounts[] = {2, 1, 0, 0};
    int i = 0;
    for (ChunkHeader c{}; nextChunk(file, streamSize(file), c); skipChunk(file, c), ++i) {
        RefList list;
        list.read(file, c);
        EXPECT_EQ(list.count(), static_cast<uint32_t>(expectedCounts[i])) << i;
        EXPECT_EQ(list.at(0), expectedCounts[i] == 0 ? -1 : i == 0 ? 1 : 3) << i;
    }
    EXPECT_EQ(i, 4);
}

TEST_F(MaxReader, LongHeadersCarryA64BitLengthAndMixWithShortOnes) {
    // A long container holding a short string chunk, a long string chunk and
    // an empty long data chunk; then a short chunk after it.
    open(concat({Chunk::container(0x2011, {Chunk::utf16(0x0962, "Six"), Chunk::utf16(0x0962, "Fourteen").longHeader(),
                                           Chunk::data(0x0001).longHeader()})
                     .longHeader(),
                 Chunk::int32s(0x0002, {42})}));
    ChunkHeader top{};
    ASSERT_TRUE(nextChunk(file, streamSize(file), top));
    EXPECT_EQ(top.id, 0x2011);
    EXPECT_EQ(top.headerSize, LongChunkHeaderSize);
    EXPECT_EQ(top.kind, ChunkKindContainer) << "bit 63 marks a container";
    EXPECT_EQ(top.length, 14u + (6 + 6) + (14 + 16) + 14);
    EXPECT_EQ(chunkDataSize(top), top.length - 14);
    EXPECT_EQ(tellPosition(file), 14u) << "the data begins after all 14 header bytes";

    const char* expected[] = {"Six", "Fourteen", nullptr};
    const uint32_t headerSizes[] = {6, 14, 14};
    int i = 0;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(top), c); skipChunk(file, c), ++i) {
        SCOPED_TRACE(i);
        ASSERT_LT(i, 3);
        EXPECT_EQ(c.headerSize, headerSizes[i]);
        EXPECT_EQ(c.kind, ChunkKindData);
        char* text = readChunkString(file, c);
        if (expected[i]) {
            EXPECT_STREQ(text, expected[i]) << "the units are the length less the header";
        } else {
            EXPECT_EQ(text, nullptr) << "a 14-byte chunk holds no data";
        }
        heapFree(text);
    }
    EXPECT_EQ(i, 3);
    skipChunk(file, top);
    ChunkHeader after{};
    ASSERT_TRUE(nextChunk(file, streamSize(file), after));
    EXPECT_EQ(after.headerSize, ChunkHeaderSize);
    EXPECT_EQ(readInt32(file), 42);
}

TEST_F(MaxReader, LongLengthsAreCutToTheStreamAndTooShortOnesEndTheWalk) {
    // 2^32 + 20 is no 20-byte chunk: the length is cut to what the stream
    // holds, not wrapped to 32 bits.
    open(concat({Chunk::container(0x1000, {Chunk::int32s(0x0001, {7}),
                                           Chunk::data(0x0002, Bytes(4, 2)).storedLongLength(0x100000014ull),
                                           Chunk::int32s(0x0003, {9})}),
                 Chunk::data(0x2000, Bytes(8, 3)).storedLongLength(0x800000000000000Dull),
                 Chunk::data(0x3000, Bytes(8, 3))}));
    ChunkHeader top{};
    ASSERT_TRUE(nextChunk(file, streamSize(file), top));
    ChunkHeader c{};
    ASSERT_TRUE(nextChunk(file, chunkEnd(top), c));
    skipChunk(file, c);
    ASSERT_TRUE(nextChunk(file, chunkEnd(top), c));
    EXPECT_EQ(c.id, 0x0002);
    EXPECT_EQ(chunkEnd(c), chunkEnd(top)) << "cut to its container";
    skipChunk(file, c);
    EXPECT_FALSE(nextChunk(file, chunkEnd(top), c)) << "the cut chunk took the rest";
    skipChunk(file, top);
    EXPECT_FALSE(nextChunk(file, streamSize(file), c)) << "a long length below 14 ends the walk";
    EXPECT_EQ(c.id, 0x2000);
    EXPECT_EQ(c.kind, ChunkKindContainer);
}

TEST_F(MaxReader, ALongHeaderCutShortByTheEndOfTheStreamEndsTheWalk) {
    Bytes stream = Chunk::int32s(0x0001, {1}).bytes();
    const Bytes longStart{0x02, 0x00, 0, 0, 0, 0, 0x20, 0, 0, 0};  // 10 of the 14 header bytes
    stream.insert(stream.end(), longStart.begin(), longStart.end());
    open(stream);
    ChunkHeader c{};
    ASSERT_TRUE(nextChunk(file, streamSize(file), c));
    skipChunk(file, c);
    EXPECT_FALSE(nextChunk(file, streamSize(file), c));
    EXPECT_EQ(c.headerSize, LongChunkHeaderSize);
}

TEST_F(MaxReader, SparseListsBecomeDenseListsOfTheirSlots) {
    struct Case {
        const char* what;
        Bytes data;
        std::vector<int32_t> dense;
    };
    auto words = [](std::initializer_list<int32_t> values) {
        Bytes b;
        for (int32_t v : values) appendInt32(b, v);
        return b;
    };
    Bytes partial = words({4, 2, 7});
    partial.insert(partial.end(), {1, 0, 0, 0, 9});
    const std::vector<Case> cases = {
        {"a node of 16 slots",
         words({16, 0, 5, 1, 7, 3, 9, 6, 11}),
         {5, 7, -1, 9, -1, -1, 11, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
        {"slots without references", words({2}), {-1, -1}},
        {"slots outside the list name nothing", words({3, -1, 4, 3, 5, 1, 6, 99, 7}), {-1, 6, -1}},
        {"a partial pair is ignored", partial, {-1, -1, 7, -1}},
        {"the largest list", words({static_cast<int32_t>(MaxRefListSlots), 65535, 1}), {}},
        {"no slots", words({0, 0, 1}), {}},
        {"a negative slot count", words({-16, 0, 1}), {}},
        {"more slots than a list may have", words({static_cast<int32_t>(MaxRefListSlots) + 1, 0, 1}), {}},
        {"no count", Bytes{16, 0}, {}},
    };
    std::vector<Chunk> chunks;
    for (const Case& c : cases) chunks.push_back(Chunk::data(0x2035, c.data));
    open(concat(chunks));
    std::size_t i = 0;
    for (ChunkHeader c{}; nextChunk(file, streamSize(file), c); skipChunk(file, c), ++i) {
        ASSERT_LT(i, cases.size());
        SCOPED_TRACE(cases[i].what);
        RefList list;
        list.read(file, c);
        std::vector<int32_t> dense;
        for (uint32_t slot = 0; slot < list.count(); ++slot) dense.push_back(list.at(slot));
        if (i == 4) {
            ASSERT_EQ(list.count(), MaxRefListSlots);
            EXPECT_EQ(list.at(65535), 1);
            EXPECT_EQ(std::count(dense.begin(), dense.end(), -1), static_cast<std::ptrdiff_t>(dense.size()) - 1);
        } else {
            EXPECT_EQ(dense, cases[i].dense);
        }
    }
    EXPECT_EQ(i, cases.size());
}

TEST_F(MaxReader, ReadsLargerThanTheWindowAndPastTheEnd) {
    Bytes data(300000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i % 251);
    open(data);
    Bytes whole(data.size() + 10);
    EXPECT_EQ(readBytes(file, whole.data(), static_cast<int32_t>(whole.size())), static_cast<int32_t>(data.size()));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), whole.begin()));
    seekTo(file, 123457);
    unsigned char piece[3];
    EXPECT_EQ(readBytes(file, piece, 3), 3);
    EXPECT_EQ(piece[0], 123457 % 251);
    seekTo(file, 400000);
    EXPECT_EQ(readBytes(file, piece, 3), 0);
    EXPECT_EQ(readInt16(file), 0);
}

TEST_F(MaxReader, AStreamIsReadWithinABudgetInProportionToItsSize) {
    // However often a file makes the importer come back to the same bytes,
    // the reads of a stream of n bytes end after 64 n and 16 MiB more.
    Bytes data(1000, 0x5A);
    open(data);
    constexpr uint64_t Budget = 64 * 1000 + (16u << 20);
    uint64_t served = 0;
    Bytes piece(1000);
    for (int i = 0; i < 20000 && served <= Budget; ++i) {
        seekTo(file, 0);
        const int32_t got = readBytes(file, piece.data(), 1000);
        if (got == 0) break;
        served += static_cast<uint64_t>(got);
    }
    // A read larger than what is left is refused; smaller ones take the rest.
    for (int i = 0; i < 1000 && served <= Budget; ++i) {
        seekTo(file, 0);
        const int32_t got = readBytes(file, piece.data(), 4);
        if (got == 0) break;
        served += static_cast<uint64_t>(got);
    }
    EXPECT_LE(served, Budget);
    EXPECT_GT(served, Budget - 4000) << "the budget is served, less what the window itself read";
    seekTo(file, 0);
    EXPECT_EQ(readInt32(file), 0) << "past the budget, reads end as at the end of the stream";
    selectStream(file, file.stream);
    seekTo(file, 0);
    EXPECT_EQ(readBytes(file, piece.data(), 1000), 1000) << "a stream selected anew has its budget again";
}

TEST_F(MaxReader, ClosingAFailedOpenReleasesNothing) {
    const int heap = PlatformHeapBlocksInUse();
    openMaxFile(file, (::testing::TempDir() + "absent.max").c_str());
    EXPECT_EQ(file.stream, nullptr);
    EXPECT_EQ(file.storage, nullptr);
    closeMaxFile(file);
    closeMaxFile(file);
    EXPECT_EQ(PlatformHeapBlocksInUse(), heap);
    ASSERT_EQ(app.messages().size(), 1u);
    EXPECT_EQ(app.messages()[0].text, "Indicates the specified file does not exist.");
    EXPECT_EQ(app.outstandingHelpers(), 0);
}
