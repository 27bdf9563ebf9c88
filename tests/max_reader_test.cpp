// The MAX importer's low-level readers on their own: the chunk reader, the
// reference table and list, the storage messages and the name helpers.
#include <gtest/gtest.h>

#include "frame/module_state.h"
#include "host/app.h"
#include "max/chunk_reader.h"
#include "max/compound_document.h"
#include "max/scene.h"
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
    open(concat({Chunk::data(0x2034, Bytes{1, 0, 0, 0, 2, 0, 0, 0}), Chunk::data(0x2035, Bytes{3, 0, 0, 0, 9, 9, 9}),
                 Chunk::data(0x2036, Bytes{1, 0, 0, 0}), Chunk::data(0x2034)}));
    const int32_t expectedCounts[] = {2, 1, 0, 0};
    int i = 0;
    for (ChunkHeader c{}; nextChunk(file, streamSize(file), c); skipChunk(file, c), ++i) {
        uint32_t count = 99;
        int32_t* list = readRefList(file, c, count);
        EXPECT_EQ(count, static_cast<uint32_t>(expectedCounts[i])) << i;
        EXPECT_EQ(list != nullptr, expectedCounts[i] != 0) << i;
        if (list) {
            EXPECT_EQ(list[0], i == 0 ? 1 : 3);
        }
        heapFree(list);
    }
    EXPECT_EQ(i, 4);
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

TEST_F(MaxReader, TheReferenceTableGrowsInSteps) {
    open(Chunk::data(0x0001, Bytes(4, 0)).bytes());
    for (uint32_t i = 0; i < 1500; ++i) {
        ChunkHeader h{static_cast<uint16_t>(i % 7), 6, ChunkKindData, i * 10, nullptr, nullptr};
        ASSERT_TRUE(appendRef(file, h));
    }
    EXPECT_EQ(file.refCount, 1500);
    EXPECT_EQ(file.refCapacity, 2048) << "grown twice";
    EXPECT_EQ(file.refs[1023].position, 10230u) << "kept across the growth";
    EXPECT_EQ(file.refs[1499].classIndex, 1499 % 7);
    EXPECT_EQ(refAt(file, 1500), nullptr);
    EXPECT_EQ(refAt(file, -1), nullptr);
}

TEST_F(MaxReader, StorageErrorsHaveTheirTexts) {
    reportStorageError(S_OK);
    reportStorageError(static_cast<HRESULT>(0x80030006u));
    reportStorageError(STG_E_FILEALREADYEXISTS);
    reportStorageError(STG_E_DOCFILECORRUPT);
    reportStorageError(static_cast<HRESULT>(0x8007000Eu));
    std::vector<std::string> texts;
    for (const refhost::Message& m : app.messages()) {
        EXPECT_EQ(m.level, 1);
        texts.push_back(m.text);
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Indicates the storage object was successfully opened.", "OLE error code: 6",
                                        "Indicates the file exists but is not a storage object.", "OLE error code: 265",
                                        "OLE error code: 14"}));
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

TEST(MaxNames, WidenAndNarrowByteForUnit) {
    WCHAR wide[8];
    widenName(wide, "Scene\xE9", 8);
    EXPECT_EQ(wide[5], 0xE9);
    EXPECT_EQ(wide[6], 0);
    char narrow[8];
    narrowName(narrow, wide);
    EXPECT_STREQ(narrow, "Scene\xE9");
    WCHAR small[4];
    widenName(small, "ClassDirectory", 4);
    EXPECT_EQ(small[3], 0) << "cut to the destination";
    widenName(nullptr, "x", 4);
    narrowName(nullptr, wide);
    narrowName(narrow, nullptr);
    EXPECT_STREQ(narrow, "Scene\xE9") << "null pointers change nothing";
}
