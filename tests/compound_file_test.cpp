// The compound file reader, over documents of the test writer: both sector
// sizes, regular and mini streams, fragmented chains, the DIFAT, and damaged
// or hostile structures; and the structured-storage stand-in built on it.
#include "platform/compound_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/control.h"
#include "support/compound_writer.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

constexpr uint32_t EndOfChain = 0xFFFFFFFEu;

bool readVector(void* context, uint32_t offset, void* buffer, uint32_t count) {
    const auto* bytes = static_cast<const Bytes*>(context);
    if (offset > bytes->size() || count > bytes->size() - offset) return false;
    std::memcpy(buffer, bytes->data() + offset, count);
    return true;
}

Bytes pattern(std::size_t size, unsigned seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<unsigned char>((i * 131 + seed * 7 + (i >> 9)) & 0xFF);
    return b;
}

// Opens the document in bytes and reads stream name whole; the status of the
// first step that fails.
compound::Status readWhole(const Bytes& bytes, const char* name, Bytes& out) {
    compound::Document document;
    compound::Status status = compound::openDocument(document, {const_cast<Bytes*>(&bytes), readVector});
    if (status != compound::Status::Ok) return status;
    compound::Stream stream;
    status = compound::openStream(document, name, stream);
    if (status == compound::Status::Ok) {
        out.assign(stream.size, 0);
        EXPECT_EQ(compound::readStream(document, stream, 0, out.data(), stream.size), stream.size);
        compound::closeStream(stream);
    }
    compound::closeDocument(document);
    return status;
}

std::vector<CompoundStream> sampleStreams() {
    std::vector<CompoundStream> streams{
        {"Scene", pattern(100000, 1)},  {"ClassDirectory3", pattern(3000, 2)}, {"Empty", {}},
        {"JustMini", pattern(4095, 3)}, {"JustRegular", pattern(4096, 4)},     {"Odd", pattern(7777, 5)},
        {"Tiny", pattern(1, 6)},
    };
    // Many more entries than fit one or two directory sectors of 512 bytes.
    for (int i = 0; i < 20; ++i) streams.push_back({"Extra" + std::to_string(i), pattern(100 + 300 * i, 10 + i)});
    return streams;
}

struct Shape {
    uint32_t sectorSize;
    bool fragmented;
};

class CompoundShapes : public ::testing::TestWithParam<Shape> {};

bool contiguous(const std::vector<uint32_t>& sectors) {
    for (std::size_t i = 1; i < sectors.size(); ++i) {
        if (sectors[i] != sectors[i - 1] + 1) return false;
    }
    return true;
}

}  // namespace

TEST_P(CompoundShapes, EveryStreamReadsBackWholeAndInPieces) {
    const Shape shape = GetParam();
    const auto streams = sampleStreams();
    CompoundLayout layout;
    const Bytes file = writeCompound(streams, {shape.sectorSize, shape.fragmented}, &layout);
    ASSERT_EQ(contiguous(layout.streamSectors[0]), !shape.fragmented) << "the writer did not lay out as asked";

    const int heapBefore = PlatformHeapBlocksInUse();
    for (const CompoundStream& s : streams) {
        Bytes read;
        ASSERT_EQ(readWhole(file, s.name.c_str(), read), compound::Status::Ok) << s.name;
        EXPECT_EQ(read, s.data) << s.name;
    }

    compound::Document document;
    ASSERT_EQ(compound::openDocument(document, {const_cast<Bytes*>(&file), readVector}), compound::Status::Ok);
    for (const char* name : {"Scene", "Odd", "JustMini"}) {
        compound::Stream stream;
        ASSERT_EQ(compound::openStream(document, name, stream), compound::Status::Ok);
        const Bytes& expected = streams[name[0] == 'S' ? 0 : name[0] == 'O' ? 5 : 3].data;
        // Pieces that straddle sector and mini-sector boundaries.
        for (uint32_t at : {0u, 63u, 64u, 511u, 4095u, 4097u}) {
            unsigned char piece[700];
            const uint32_t want = 700;
            const uint32_t got = compound::readStream(document, stream, at, piece, want);
            const uint32_t expectedCount = at >= expected.size() ? 0 : std::min<uint32_t>(want, expected.size() - at);
            ASSERT_EQ(got, expectedCount) << name << " at " << at;
            EXPECT_TRUE(std::equal(piece, piece + got, expected.begin() + at)) << name << " at " << at;
        }
        compound::closeStream(stream);
    }
    compound::closeDocument(document);
    EXPECT_EQ(PlatformHeapBlocksInUse(), heapBefore);
}

INSTANTIATE_TEST_SUITE_P(SectorSizes, CompoundShapes,
                         ::testing::Values(Shape{512, false}, Shape{512, true}, Shape{4096, false}, Shape{4096, true}));

TEST(CompoundFile, NamesAreFoundIgnoringCaseAmongAllEntries) {
    const Bytes file = writeCompound(sampleStreams(), {512, true});
    Bytes read;
    EXPECT_EQ(readWhole(file, "extra19", read), compound::Status::Ok) << "the last of 28 entries";
    EXPECT_EQ(read.size(), 100u + 300 * 19);
    EXPECT_EQ(readWhole(file, "SCENE", read), compound::Status::Ok);
    EXPECT_EQ(readWhole(file, "Root Entry", read), compound::Status::NotFound) << "the root is not a stream";
    EXPECT_EQ(readWhole(file, "Extra", read), compound::Status::NotFound);
}

TEST(CompoundFile, FatBeyondTheHeaderComesFromTheDifat) {
    CompoundLayout layout;
    const std::vector<CompoundStream> streams{{"Big", pattern(7600000, 9)}, {"Small", pattern(10, 1)}};
    const Bytes file = writeCompound(streams, {512, false}, &layout);
    ASSERT_GT(layout.fatSectors.size(), 109u);
    ASSERT_FALSE(layout.difatSectors.empty());
    Bytes read;
    ASSERT_EQ(readWhole(file, "Big", read), compound::Status::Ok);
    EXPECT_TRUE(read == streams[0].data);
}

TEST(CompoundFile, WhatIsNotACompoundFileIsToldApartFromADamagedOne) {
    Bytes read;
    EXPECT_EQ(readWhole(Bytes{}, "Scene", read), compound::Status::NotCompound);
    EXPECT_EQ(readWhole(pattern(5000, 1), "Scene", read), compound::Status::NotCompound);

    Bytes file = writeCompound({{"Scene", pattern(5000, 1)}});
    Bytes classId = file;
    classId[8] = 1;  // the class id that follows the signature must be null
    EXPECT_EQ(readWhole(classId, "Scene", read), compound::Status::NotCompound);

    Bytes truncated(file.begin(), file.begin() + 300);
    EXPECT_EQ(readWhole(truncated, "Scene", read), compound::Status::Damaged) << "a header cut short";

    Bytes version = file;
    putU16(version, 26, 4);  // version 4 with 512-byte sectors
    EXPECT_EQ(readWhole(version, "Scene", read), compound::Status::Damaged);
}

TEST(CompoundFile, HostileTablesFailCleanly) {
    CompoundLayout layout;
    const std::vector<CompoundStream> streams{{"Scene", pattern(20000, 1)}, {"Mini", pattern(300, 2)}};
    const Bytes file = writeCompound(streams, {512, false}, &layout);
    const int heapBefore = PlatformHeapBlocksInUse();
    Bytes read;
    struct Damage {
        const char* what;
        std::function<void(Bytes&)> apply;
        const char* stream;
        compound::Status expected;
    };
    const std::vector<Damage> damages{
        {"a FAT of 2^32-1 sectors", [](Bytes& b) { putU32(b, 44, 0xFFFFFFFFu); }, "Scene", compound::Status::Damaged},
        {"a directory chain that loops",
         [&](Bytes& b) {
             putU32(b, fatEntryOffset(layout, layout.directorySectors.back()), layout.directorySectors[0]);
         },
         "Scene", compound::Status::Damaged},
        {"a directory sector far beyond the file", [](Bytes& b) { putU32(b, 48, 0x00FFFFFFu); }, "Scene",
         compound::Status::Damaged},
        {"a stream chain that ends early",
         [&](Bytes& b) { putU32(b, fatEntryOffset(layout, layout.streamSectors[0][3]), EndOfChain); }, "Scene",
         compound::Status::Damaged},
        {"a stream that starts beyond the table",
         [&](Bytes& b) { putU32(b, directoryEntryOffset(layout, 1) + 116, 0x7FFFFFF0u); }, "Scene",
         compound::Status::Damaged},
        {"a stream size that the file cannot hold",
         [&](Bytes& b) { putU32(b, directoryEntryOffset(layout, 1) + 120, 0x7FFFFFF0u); }, "Scene",
         compound::Status::Damaged},
        {"a size beyond 2 GiB", [&](Bytes& b) { putU32(b, directoryEntryOffset(layout, 1) + 120, 0xFFFFFFF0u); },
         "Scene", compound::Status::Damaged},
        {"a mini chain that ends early",
         [&](Bytes& b) {
             const uint32_t perSector = 512 / 4;
             const uint32_t first = layout.streamSectors[1][0];
             putU32(b, sectorOffset(layout, layout.miniFatSectors[first / perSector]) + 4 * (first % perSector),
                    EndOfChain);
         },
         "Mini", compound::Status::Damaged},
        {"a mini stream smaller than its chains",
         [&](Bytes& b) { putU32(b, directoryEntryOffset(layout, 0) + 120, 64); }, "Mini", compound::Status::Damaged},
        {"a sibling link that loops", [&](Bytes& b) { putU32(b, directoryEntryOffset(layout, 1) + 72, 1); }, "Mini",
         compound::Status::NotFound},
        {"a DIFAT chain that loops",
         [&](Bytes& b) {
             putU32(b, 44, 200);
             putU32(b, 68, layout.fatSectors[0]);
             putU32(b, 72, 1);
         },
         "Scene", compound::Status::Damaged},
    };
    for (const Damage& d : damages) {
        Bytes damaged = file;
        d.apply(damaged);
        EXPECT_EQ(readWhole(damaged, d.stream, read), d.expected) << d.what;
    }
    EXPECT_EQ(PlatformHeapBlocksInUse(), heapBefore) << "a failed open leaves nothing behind";
}

TEST(CompoundFile, VersionFourSizesMustFit32Bits) {
    CompoundLayout layout;
    Bytes file = writeCompound({{"Scene", pattern(9000, 1)}}, {4096, false}, &layout);
    Bytes read;
    ASSERT_EQ(readWhole(file, "Scene", read), compound::Status::Ok);
    putU32(file, directoryEntryOffset(layout, 1) + 124, 1);
    EXPECT_EQ(readWhole(file, "Scene", read), compound::Status::Damaged);
}

// The structured-storage stand-in, with the result codes that Windows gives.
namespace {

std::vector<WCHAR> wide(const std::string& text) {
    std::vector<WCHAR> w(text.begin(), text.end());
    w.push_back(0);
    return w;
}

HRESULT openStorage(const std::string& path, IStorage** storage) {
    return StgOpenStorage(wide(path).data(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, storage);
}

}  // namespace

TEST(StructuredStorage, OpenFailuresGiveTheWindowsCodes) {
    IStorage* storage = reinterpret_cast<IStorage*>(1);
    EXPECT_EQ(openStorage(::testing::TempDir() + "no-such-file.max", &storage), STG_E_FILENOTFOUND);
    EXPECT_EQ(storage, nullptr);
    EXPECT_EQ(openStorage(::testing::TempDir() + "no-such-folder/file.max", &storage), STG_E_PATHNOTFOUND);
    EXPECT_EQ(openStorage(writeTempFile("plain.txt", pattern(2000, 3)), &storage), STG_E_FILEALREADYEXISTS);

    Bytes damaged = writeCompound({{"Scene", pattern(5000, 1)}});
    putU32(damaged, 48, 0x00FFFFFFu);
    EXPECT_EQ(openStorage(writeTempFile("damaged.max", damaged), &storage), STG_E_DOCFILECORRUPT);

    const std::string good = writeTempFile("good.max", writeCompound({{"Scene", pattern(5000, 1)}}));
    EXPECT_EQ(StgOpenStorage(wide(good).data(), nullptr, STGM_READWRITE, nullptr, 0, &storage), STG_E_ACCESSDENIED);
    ASSERT_EQ(openStorage(good, &storage), S_OK);
    IStream* stream = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(storage->OpenStream(wide("ClassDirectory").data(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream),
              STG_E_FILENOTFOUND);
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(storage->Release(), 0u);
}

TEST(StructuredStorage, StreamsSeekReadAndOutliveTheirStorage) {
    const Bytes scene = pattern(10000, 4);
    const std::string path = writeTempFile("streams.max", writeCompound({{"Scene", scene}}, {4096, true}));
    const int heapBefore = PlatformHeapBlocksInUse();
    IStorage* storage = nullptr;
    ASSERT_EQ(openStorage(path, &storage), S_OK);
    IStream* stream = nullptr;
    ASSERT_EQ(storage->OpenStream(wide("scene").data(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream), S_OK);
    EXPECT_EQ(storage->Release(), 0u) << "the stream keeps the document open";

    LARGE_INTEGER move;
    ULARGE_INTEGER at;
    move.QuadPart = 0;
    ASSERT_EQ(stream->Seek(move, STREAM_SEEK_END, &at), S_OK);
    EXPECT_EQ(at.QuadPart, scene.size());
    move.QuadPart = -100;
    ASSERT_EQ(stream->Seek(move, STREAM_SEEK_CUR, &at), S_OK);
    unsigned char buffer[300];
    ULONG got = 0;
    EXPECT_EQ(stream->Read(buffer, sizeof buffer, &got), S_OK);
    ASSERT_EQ(got, 100u) << "a read stops at the end";
    EXPECT_TRUE(std::equal(buffer, buffer + 100, scene.end() - 100));
    EXPECT_EQ(stream->Read(buffer, sizeof buffer, &got), S_OK);
    EXPECT_EQ(got, 0u);
    move.QuadPart = -1;
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_SET, &at), STG_E_INVALIDFUNCTION) << "no position before the start";
    ULONG written = 7;
    EXPECT_EQ(stream->Write(buffer, 1, &written), STG_E_ACCESSDENIED);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(stream->Release(), 0u);
    EXPECT_EQ(PlatformHeapBlocksInUse(), heapBefore);
}
