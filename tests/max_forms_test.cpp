// Files in the other forms that real MAX files take, imported through
// MAXImport: 14-byte chunk headers mixed with 6-byte ones, gzip and zstd
// streams, sparse reference lists. Each is compared with the same scene in
// the plain form, or checked against what its slots name.
#include <gtest/gtest.h>

#include <random>

#include "host/contract_checks.h"
#include "host/dump.h"
#include "platform/control.h"
#include "support/max_import.h"
#include "support/max_writer.h"
#include "support/stream_codecs.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

constexpr char DamagedText[] = "OLE error code: 265";
const std::vector<float> Triangle{0, 0, 0, 1, 0, 0, 0, 1, 0};
const std::vector<float> Square{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
constexpr ClassId LayerClass{0x7E9858FE, 0x1DBA1DF0};

// A scene with something for every reader: a mesh under a transform with all
// three sub-controllers, a primitive with its parameters as a child, a
// derived object, an empty node and the scene object.
MaxWriter everyReader() {
    MaxWriter w;
    const int mesh = w.mesh(Triangle, {{0, 1, 2, 7}});
    const int transform =
        w.transform({w.position(1, 2, 3), w.rotation(0, 0, 0.70710677f, 0.70710677f), w.scale(2, 2, 2)});
    const int meshNode = w.node("Mesh", -1, {transform, mesh}, 0x0000FF);
    const int box = w.primitive(BoxClass, {w.paramBlock({floatParam(0, 10), floatParam(1, 20), intParam(3, 4)})});
    const int boxNode = w.node("Box", meshNode, {w.transform({w.position(0, 0, 5)}), box});
    const int derivedNode = w.node("Derived", -1, {w.derived({w.mesh(Square, {})})});
    const int emptyNode = w.node("Empty", boxNode, {});
    w.scene({meshNode, boxNode, derivedNode, emptyNode});
    return w;
}

struct Outcome {
    int32_t result;
    std::string scene;  // the host's scene as JSON
    std::vector<std::string> notices;
    std::size_t nodes;
};

Outcome importFile(const Bytes& file, const std::string& name) {
    const int heap = PlatformHeapBlocksInUse();
    Outcome o;
    {
        MaxImport import;
        o.result = import.run(writeTempFile(name, file));
        o.scene = refhost::dumpScene(import.host(), import.scene()).dump(1);
        o.notices = import.messages(MessageNotice);
        o.nodes = import.scene().nodes().size();
        EXPECT_EQ(import.host().outstandingHelpers(), 0);
    }
    EXPECT_EQ(PlatformHeapBlocksInUse(), heap) << name;
    return o;
}

Bytes withoutLast(Bytes bytes, std::size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

}  // namespace

TEST(MaxForms, LongAndMixedHeadersReadAsTheShortForm) {
    const MaxWriter w = everyReader();
    const Outcome plain = importFile(w.build(MaxFileForm{}), "short.max");
    ASSERT_EQ(plain.result, 1);
    ASSERT_EQ(plain.nodes, 4u);
    for (HeaderForm scene : {HeaderForm::Short, HeaderForm::Long, HeaderForm::Alternate}) {
        for (HeaderForm directory : {HeaderForm::Short, HeaderForm::Long, HeaderForm::Alternate}) {
            MaxFileForm form;
            form.sceneHeaders = scene;
            form.directoryHeaders = directory;
            form.sceneTopId = 0x200E;
            SCOPED_TRACE(static_cast<int>(scene) * 3 + static_cast<int>(directory));
            const Outcome o = importFile(w.build(form), "headers.max");
            EXPECT_EQ(o.result, 1);
            EXPECT_EQ(o.scene, plain.scene);
        }
    }
    EXPECT_NE(w.sceneStream(0x200E, HeaderForm::Alternate), w.sceneStream(0x200E, HeaderForm::Short));
    EXPECT_GT(w.sceneStream(0x200E, HeaderForm::Long).size(), w.sceneStream(0x200E, HeaderForm::Alternate).size());
}

TEST(MaxForms, CompressedStreamsReadAsThePlainForm) {
    const MaxWriter w = everyReader();
    const Outcome plain = importFile(w.build(MaxFileForm{}), "plain.max");
    struct Case {
        const char* what;
        MaxFileForm form;
    };
    const Case cases[] = {
        {"gzip", {StreamCoding::Gzip, HeaderForm::Short, HeaderForm::Short, 0x2006}},
        {"zstd", {StreamCoding::Zstd, HeaderForm::Short, HeaderForm::Short, 0x2029}},
        {"zstd with mixed headers", {StreamCoding::Zstd, HeaderForm::Alternate, HeaderForm::Alternate, 0x2029}},
        {"gzip with long headers", {StreamCoding::Gzip, HeaderForm::Long, HeaderForm::Short, 0x2006}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome o = importFile(w.build(c.form), "compressed.max");
        EXPECT_EQ(o.result, 1);
        EXPECT_EQ(o.scene, plain.scene);
        EXPECT_TRUE(o.notices.empty());
    }
}

TEST(MaxForms, AStreamThatCannotBeDecodedEndsTheImport) {
    const MaxWriter w = everyReader();
    const Bytes directory = w.classDirectoryStream();
    const Bytes scene = w.sceneStream();
    Bytes flipped = gzipBytes(scene);
    flipped[flipped.size() / 2] ^= 0x40;
    const Bytes objects(scene.begin() + 6, scene.end());
    Bytes badChecksum = zstdStream(streamedScene(0x2029, objects));
    badChecksum[badChecksum.size() - 1] ^= 0x01;
    // Valid chunks, but zeros that shrink more than 256 times.
    const Bytes bomb = gzipBytes(concat({Chunk::container(0x2006, {Chunk::data(0x0100, Bytes(4 << 20, 0))})}));

    struct Case {
        const char* what;
        std::vector<CompoundStream> streams;
    };
    const Case cases[] = {
        {"a flipped bit in a gzip scene", {{"ClassDirectory3", directory}, {"Scene", flipped}}},
        {"a gzip scene cut short", {{"ClassDirectory3", directory}, {"Scene", withoutLast(gzipBytes(scene), 9)}}},
        {"a damaged gzip class directory",
         {{"ClassDirectory3", withoutLast(gzipBytes(directory), 1)}, {"Scene", scene}}},
        {"a wrong zstd checksum", {{"ClassDirectory3", directory}, {"Scene_Compressed", badChecksum}}},
        {"a zstd scene without its streamed header",
         {{"ClassDirectory3", directory}, {"Scene_Compressed", zstdStream(scene)}}},
        {"a zstd class directory without its wrapper",
         {{"ClassDirectory3_Compressed", zstdStream(directory)}, {"Scene", scene}}},
        {"plain chunks under a compressed name", {{"ClassDirectory3", directory}, {"Scene_Compressed", scene}}},
        {"a decompression bomb", {{"ClassDirectory3", directory}, {"Scene", bomb}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome o = importFile(writeCompound(c.streams), "damaged.max");
        EXPECT_EQ(o.result, 0);
        EXPECT_EQ(o.notices, std::vector<std::string>{DamagedText});
        EXPECT_EQ(o.nodes, 0u);
    }
}

TEST(MaxForms, SparseListsPutEachReferenceAtItsSlot) {
    MaxWriter w;
    // Decoys where a list read flat would find them: at the slot numbers 0,
    // 1, 3 and 6 and at the slot count 16.
    const int decoyPosition = w.position(100, 0, 0);          // 0
    const int decoyTransform = w.transform({decoyPosition});  // 1
    w.mesh(Square, {});                                       // 2
    const int decoyMesh = w.mesh(Square, {});                 // 3
    w.mesh(Square, {});                                       // 4
    w.mesh(Square, {});                                       // 5
    w.mesh(Square, {});                                       // 6
    for (int i = 7; i < 16; ++i) w.mesh(Square, {});
    w.transform({decoyPosition});  // 16
    ASSERT_EQ(decoyTransform, 1);
    ASSERT_EQ(decoyMesh, 3);
    ASSERT_EQ(w.objectCount(), 17);

    const int transform = w.transform({w.position(1, 2, 3)});
    const int mesh = w.mesh(Triangle, {{0, 1, 2, 0}});
    const int material = w.addObject(static_cast<uint16_t>(w.classFor("Standard", StandardMaterialClass)), {});
    const int layer = w.addObject(static_cast<uint16_t>(w.classFor("Base Layer", LayerClass)), {});
    w.nodeWithList("Version7", -1, Chunk::sparseRefs(16, {{0, transform}, {1, mesh}, {3, material}, {6, layer}}));
    w.nodeWithList("Release4", -1, Chunk::sparseRefs(8, {{0, transform}, {1, mesh}, {3, material}}));
    w.nodeWithList("OnlyTransform", -1, Chunk::sparseRefs(16, {{0, transform}, {6, layer}}));
    w.nodeWithList("SlotOutside", -1, Chunk::sparseRefs(16, {{0, transform}, {16, mesh}}));
    w.nodeWithList("TooManySlots", -1, Chunk::sparseRefs(1 << 20, {{0, transform}, {1, mesh}}));
    w.nodeWithList("DenseWithGaps", -1, Chunk::int32s(0x2034, {transform, mesh, -1, material, -1, -1, layer, -1}));

    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("sparse.max", w.build())), 1);
    for (const char* name : {"Version7", "Release4", "DenseWithGaps"}) {
        SCOPED_TRACE(name);
        const refhost::NodeData* node = import.node(name);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->vertices.size(), 3u) << "slot 1: the triangle, not a decoy square";
        EXPECT_EQ(node->faces.size(), 1u);
        const HostMatrix m = node->transform();
        EXPECT_EQ(m.m[3][0], 1.0);
        EXPECT_EQ(m.m[3][1], 2.0);
        EXPECT_EQ(m.m[3][2], 3.0) << "slot 0: the transform alone, no decoy";
    }
    const refhost::NodeData* onlyTransform = import.node("OnlyTransform");
    EXPECT_TRUE(onlyTransform->vertices.empty());
    EXPECT_EQ(onlyTransform->transform().m[3][0], 1.0);
    const refhost::NodeData* outside = import.node("SlotOutside");
    EXPECT_TRUE(outside->vertices.empty()) << "slot 16 of 16 names nothing";
    EXPECT_EQ(outside->transform().m[3][1], 2.0);
    const refhost::NodeData* tooMany = import.node("TooManySlots");
    ASSERT_NE(tooMany, nullptr) << "the node is read without its list";
    EXPECT_TRUE(tooMany->vertices.empty());
    EXPECT_EQ(tooMany->transform().m[3][0], 0.0);
}


// Mutated files of every form import without a crash, leak or contract
// violation, and end with 1 or with the damaged-container text and 0. Bytes
// are changed in the chunks before they are stored (so that the walk over
// long and mixed headers and the sparse lists meet them) and in the stored,
// compressed bytes (so that the decoders do).
TEST(MaxForms, MutatedFilesOfEveryFormImportSafely) {
    MaxWriter w = everyReader();
    const int transform = w.transform({w.position(4, 5, 6)});
    const int mesh = w.mesh(Triangle, {{0, 1, 2, 0}});
    w.nodeWithList("Sparse", -1, Chunk::sparseRefs(16, {{0, transform}, {1, mesh}}));
    const Bytes directory = w.classDirectoryStream();
    std::mt19937 random(11);
    auto mutated = [&](Bytes bytes, std::size_t from) {
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes && bytes.size() > from; ++i) {
            const std::size_t at = from + random() % (bytes.size() - from);
            const uint32_t kind = random() % 3;
            bytes[at] = kind == 0   ? 0x00
                        : kind == 1 ? 0xFF
                                    : static_cast<unsigned char>(bytes[at] ^ (1u << (random() % 8)));
        }
        return bytes;
    };
    const std::size_t violations = refhost::contractViolations().size();
    int imported = 0, refused = 0;
    for (StreamCoding coding : {StreamCoding::Plain, StreamCoding::Gzip, StreamCoding::Zstd}) {
        for (HeaderForm headers : {HeaderForm::Long, HeaderForm::Alternate}) {
            const Bytes scene = w.sceneStream(0x2029, headers);
            for (int round = 0; round < 24; ++round) {
                // Even rounds change the chunks, odd rounds the stored bytes.
                const Bytes chunks = round % 2 == 0 ? mutated(scene, 0) : scene;
                std::vector<CompoundStream> streams{{"ClassDirectory3", directory}};
                switch (coding) {
                    case StreamCoding::Plain:
                        streams.push_back({"Scene", chunks});
                        break;
                    case StreamCoding::Gzip:
                        streams.push_back({"Scene", gzipBytes(chunks)});
                        break;
                    case StreamCoding::Zstd: {
                        const std::size_t top = headers == HeaderForm::Long ? 14 : 6;
                        streams.push_back(
                            {"Scene_Compressed",
                             zstdStream(streamedScene(0x2029, Bytes(chunks.begin() + top, chunks.end())))});
                        break;
                    }
                }
                if (round % 2 == 1) streams.back().data = mutated(streams.back().data, 0);
                const Outcome o = importFile(writeCompound(streams), "mutated.max");
                if (o.result == 1) {
                    ++imported;
                    EXPECT_TRUE(o.notices.empty());
                } else {
                    ++refused;
                    EXPECT_EQ(o.result, 0);
                    EXPECT_EQ(o.notices, std::vector<std::string>{DamagedText});
                }
            }
        }
    }
    EXPECT_EQ(refhost::contractViolations().size(), violations);
    EXPECT_GT(imported, 0);
    EXPECT_GT(refused, 0);
}
