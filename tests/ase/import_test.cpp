// End to end through ASEImport of the real plug-in library: the result, the
// scene assembly (parents, starting transforms, animation timing), and what
// an import leaves behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "comma_locale.h"
#include "host/dump.h"
#include "import_support.h"
#include "platform/control.h"

using ase_testing::Import;
using Lines = std::vector<std::string>;

TEST(AseImport, ResultTellsWhetherTheDocumentWasReadToItsEnd) {
    Import empty("", true);
    EXPECT_EQ(empty.result, 1) << "an empty document is read to its end, and still assembled";
    EXPECT_EQ(empty.stream.calls(), Lines{"Read(32768) -> 0"});
    EXPECT_EQ(empty.harness.app->trace(), (Lines{"Scene.EndImport", "Scene.GetAnimation(0) -> null"}));
    Import complete("*3DSMAX_ASCIIEXPORT 200 *GEOMOBJECT { *NODE_NAME \"a\" }");
    EXPECT_EQ(complete.result, 1);
    // A failed block stops the parse; what was read is kept and assembled.
    Import failed(
        "*GEOMOBJECT { *NODE_NAME \"a\" *NODE_PARENT \"b\" } *HELPEROBJECT { *NODE_NAME \"b\" } *GEOMOBJECT {");
    EXPECT_EQ(failed.result, 0);
    ASSERT_EQ(failed.scene.nodes().size(), 3u);
    EXPECT_EQ(failed.node(0).parent(), failed.node(1).self);
    EXPECT_EQ(failed.scene.endImportCalls(), 1);
    EXPECT_EQ(failed.traceWith("EndImport"), Lines{"Scene.EndImport"});
    // A stream that reports an error has not been read to its end.
    std::string big = "*3DSMAX_ASCIIEXPORT 200\n";
    while (big.size() < 40000) big += "*COMMENT \"padding\"\n";
    testing_support::PluginHarness h;
    refhost::Scene scene(h.host());
    refhost::MemoryStream stream(std::vector<unsigned char>(big.begin(), big.end()));
    stream.failReadsFrom(32768);
    EXPECT_EQ(h.library().aseImport()(&stream, &scene, 0, ImportModeScene), 0);
    EXPECT_EQ(scene.endImportCalls(), 1);
}

TEST(AseImport, ParentsAreLinkedByNameWhereverTheyStandButNeverInACycle) {
    Import input(
        "*GEOMOBJECT { *NODE_NAME \"child\" *NODE_PARENT \"first\" *NODE_PARENT \"parent\" } "
        "*HELPEROBJECT { *NODE_NAME \"parent\" } *HELPEROBJECT { *NODE_NAME \"first\" } "
        "*HELPEROBJECT { *NODE_NAME \"orphan\" *NODE_PARENT \"nobody\" } "
        "*HELPEROBJECT { *NODE_NAME \"blank\" *NODE_PARENT \"\" } "
        "*GROUP { *HELPEROBJECT { *NODE_NAME \"inner\" *NODE_PARENT \"parent\" } } "
        "*HELPEROBJECT { *NODE_NAME \"a\" *NODE_PARENT \"b\" } *HELPEROBJECT { *NODE_NAME \"b\" *NODE_PARENT \"c\" } "
        "*HELPEROBJECT { *NODE_NAME \"c\" *NODE_PARENT \"a\" } "
        "*HELPEROBJECT { *NODE_NAME \"self\" *NODE_PARENT \"self\" } "
        "*GROUP { *NODE_NAME \"outer\" *HELPEROBJECT { *NODE_NAME \"inside\" } *NODE_PARENT \"inside\" }");
    ASSERT_EQ(input.result, 1);
    EXPECT_EQ(input.node(0).parent(), input.node(1).self) << "only the last parent name counts";
    EXPECT_EQ(input.node(3).parent(), nullptr);
    EXPECT_EQ(input.node(4).parent(), nullptr);
    EXPECT_EQ(input.node(6).parent(), input.node(1).self) << "a named parent replaces the enclosing group";
    EXPECT_EQ(input.node(7).parent(), input.node(8).self);
    EXPECT_EQ(input.node(8).parent(), input.node(9).self);
    EXPECT_EQ(input.node(9).parent(), nullptr) << "c would become its own ancestor through a and b";
    EXPECT_EQ(input.node(10).parent(), nullptr);
    EXPECT_EQ(input.node(12).parent(), input.node(11).self);
    EXPECT_EQ(input.node(11).parent(), nullptr) << "a group cannot hang below its own child";
    for (const refhost::NodeData* node : input.scene.nodes()) EXPECT_EQ(node->userData(), nullptr);
}

TEST(AseImport, StartingTransformsAreRelativeToTheParent) {
    const std::string tm = " *NODE_TM { *TM_ROW0 1 0 0 *TM_ROW1 0 1 0 *TM_ROW2 0 0 1 *TM_ROW3 ";
    Import input("*HELPEROBJECT { *NODE_NAME \"p\"" + tm +
                 "10 0 0 } } *HELPEROBJECT { *NODE_NAME \"c\" *NODE_PARENT \"p\"" + tm +
                 "12 3 0 } *TM_ANIMATION { } }");
    ASSERT_EQ(input.result, 1);
    const refhost::AnimationData* animation = input.scene.animation();
    ASSERT_NE(animation, nullptr);
    ASSERT_EQ(animation->tracks.size(), 2u) << "every node visited gets its track set";
    for (const refhost::TracksData* tracks : animation->tracks) {
        ASSERT_TRUE(tracks->initialTransform.has_value());
        const double x = tracks->initialTransform->m[3][0];
        EXPECT_EQ(x, tracks->node == &input.node(0) ? 10.0 : 2.0);
    }
    EXPECT_EQ(input.node(1).transform().m[3][0], 12.0) << "world transforms are not changed";
}

TEST(AseImport, AnimationTimingComesFromTheSceneBlock) {
    Import timed("*SCENE { *SCENE_FIRSTFRAME 0 *SCENE_LASTFRAME 100 *SCENE_FRAMESPEED 30 } *TM_ANIMATION { }");
    EXPECT_EQ(timed.traceWith("Animation.Set"), (Lines{"Animation.SetFrameRate(30)", "Animation.SetStart(0)",
                                                       "Animation.SetLength(3.33333325)", "Animation.SetPlayMode(5)"}));
    EXPECT_EQ(*timed.scene.animation()->length, static_cast<float>(100.0 / 30.0));

    Import shifted("*SCENE { *SCENE_FIRSTFRAME 10 *SCENE_LASTFRAME 70 *SCENE_FRAMESPEED 25 } *TM_ANIMATION { }");
    EXPECT_EQ(*shifted.scene.animation()->start, 0.4f);
    EXPECT_EQ(*shifted.scene.animation()->length, 2.4f);

    Import noSpeed("*SCENE { *SCENE_LASTFRAME 100 } *TM_ANIMATION { }");
    EXPECT_EQ(noSpeed.traceWith("Animation.Set"),
              (Lines{"Animation.SetStart(0)", "Animation.SetLength(0)", "Animation.SetPlayMode(5)"}))
        << "a frame speed of 0 sets no frame rate";

    Import still("*SCENE { *SCENE_LASTFRAME 100 *SCENE_FRAMESPEED 30 } *HELPEROBJECT { *NODE_PARENT \"x\" }");
    EXPECT_EQ(still.scene.animation(), nullptr);
    EXPECT_EQ(still.traceWith("Animation"), Lines{"Scene.GetAnimation(0) -> null"}) << "no timing without animation";
}

TEST(AseImport, ImportsShareNoStateAndLeaveNothingBehind) {
    const int heapBefore = PlatformHeapBlocksInUse();
    {
        // Counts given again replace their tables; the parent link is left
        // for the assembly to free.
        testing_support::PluginHarness h;
        const std::string first =
            "*MATERIAL_LIST { *MATERIAL_COUNT 2 *MATERIAL 1 { *NUMSUBMTLS 3 *SUBMATERIAL 2 { } *NUMSUBMTLS 1 } "
            "*MATERIAL 1 { } *MATERIAL_COUNT 1 *MATERIAL 0 { } } *GEOMOBJECT { *MATERIAL_REF 0 *NODE_PARENT \"x\" }";
        const std::string second = "*GEOMOBJECT { *MATERIAL_REF 0 *WIREFRAME_COLOR 1 0 0 }";
        refhost::Scene scene1(h.host()), scene2(h.host());
        refhost::MemoryStream stream1(std::vector<unsigned char>(first.begin(), first.end()));
        refhost::MemoryStream stream2(std::vector<unsigned char>(second.begin(), second.end()));
        EXPECT_EQ(h.library().aseImport()(&stream1, &scene1, 0, ImportModeScene), 1);
        EXPECT_EQ(h.library().aseImport()(&stream2, &scene2, 0, ImportModeScene), 1);
        EXPECT_EQ(scene1.materials().size(), 4u) << "host materials are never taken back";
        ASSERT_EQ(scene2.materials().size(), 1u) << "the second import starts with an empty material table";
        EXPECT_EQ(scene2.materials()[0]->name, "WireFrame material");
    }
    EXPECT_EQ(PlatformHeapBlocksInUse(), heapBefore) << "the reader's buffer, records and parent links are freed";
}

TEST(AseImport, Utf16FilesImportAsTheirEightBitText) {
    std::string text =
        "*3DSMAX_ASCIIEXPORT 200\r\n*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *MATERIAL_NAME \"Gr\xFCn\" } "
        "}\r\n";
    for (int i = 0; text.size() < 40000; ++i) {
        text += "*GEOMOBJECT { *NODE_NAME \"Box" + std::to_string(i) +
                "\" *MESH { *MESH_NUMVERTEX 1 *MESH_VERTEX_LIST { *MESH_VERTEX 0 1.5 2.5 3.5 } } *MATERIAL_REF 0 }\r\n";
    }
    Import eightBit(text);
    ASSERT_EQ(eightBit.result, 1);
    const auto expected = refhost::dumpScene(eightBit.harness.host(), eightBit.scene).dump();
    for (const bool littleEndian : {true, false}) {
        std::string wide = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
        for (const char c : text) {
            wide += littleEndian ? c : '\0';
            wide += littleEndian ? '\0' : c;
        }
        Import sixteenBit(wide);
        EXPECT_EQ(sixteenBit.result, 1);
        EXPECT_EQ(refhost::dumpScene(sixteenBit.harness.host(), sixteenBit.scene).dump(), expected);
    }
}

TEST(AseImport, DecimalCommaLocaleOfTheHostDoesNotMatter) {
    ase_testing::CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << locale.reason();
    Import input(
        "*SCENE { *SCENE_FRAMESPEED 29.97 } *MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *MATERIAL_SHINE 0.5 } } "
        "*GEOMOBJECT { *MESH { *MESH_NUMVERTEX 1 *MESH_VERTEX_LIST { *MESH_VERTEX 0 0.5 -1.25 1e-3 } } } "
        "*TM_ANIMATION { }");
    ASSERT_EQ(input.result, 1);
    EXPECT_EQ(input.scene.materials()[0]->properties.at(0).second.number, 0.5f);
    EXPECT_EQ(input.node(0).vertices[0].x, 0.5f);
    EXPECT_EQ(input.node(0).vertices[0].y, -1.25f);
    EXPECT_EQ(input.node(0).vertices[0].z, 0.001f);
    EXPECT_EQ(*input.scene.animation()->frameRate, 29.97f);
}

namespace {

// A scene that refuses one of its operations (null where an object is
// asked for) and hands every other call to a reference scene.
class RefusingScene final : public HostScene {
 public:
    RefusingScene(refhost::App& app, int refusedSlot) : inner(app), refused_(refusedSlot) {
        std::memset(record_, 0, sizeof record_);
        writeField<HostNodeList*>(this, record::SceneNodes, sceneNodes(&inner));
    }
    HostMeshNode* HOSTAPI CreateNode() override {
        return refuses(slot::HostScene_CreateNode) ? nullptr : inner.CreateNode();
    }
    HostMaterial* HOSTAPI CreateMaterial() override {
        return refuses(slot::HostScene_CreateMaterial) ? nullptr : inner.CreateMaterial();
    }
    HostLight* HOSTAPI CreateLight() override {
        return refuses(slot::HostScene_CreateLight) ? nullptr : inner.CreateLight();
    }
    HostCamera* HOSTAPI CreateCamera() override {
        return refuses(slot::HostScene_CreateCamera) ? nullptr : inner.CreateCamera();
    }
    HostNode* HOSTAPI CreateTarget() override {
        return refuses(slot::HostScene_CreateTarget) ? nullptr : inner.CreateTarget();
    }
    int32_t HOSTAPI AddSceneInfo(int32_t kind, const char* text) override { return inner.AddSceneInfo(kind, text); }
    HostNode* HOSTAPI CreatePrimitive(int32_t kind, HostParamBlock* parameters) override {
        return inner.CreatePrimitive(kind, parameters);
    }
    int32_t HOSTAPI EndImport() override { return inner.EndImport(); }
    HostAnimation* HOSTAPI GetAnimation(int32_t create) override {
        return refuses(slot::HostScene_GetAnimation) && create ? nullptr : inner.GetAnimation(create);
    }

 private:
    bool refuses(int operation) const { return refused_ == operation; }
    static const char* contractName() { return "HostScene"; }
    HOST_UNUSED_SLOTS_HostScene(REFHOST_UNUSED_SLOT)

        unsigned char record_[record::SceneRecordSize - sizeof(void*)];

 public:
    refhost::Scene inner;

 private:
    int refused_;
};

}  // namespace

TEST(AseImport, RefusedHostObjectsFailTheirBlockCleanly) {
    const std::string scene = testing_support::readFile(MAXASE_SOURCE_DIR "/examples/scene.ase");
    struct Case {
        int refused;
        int32_t result;  // a missing target is no failure: the matrix goes to the camera
    };
    for (const Case c : {Case{slot::HostScene_CreateNode, 0}, Case{slot::HostScene_CreateMaterial, 0},
                         Case{slot::HostScene_CreateCamera, 0}, Case{slot::HostScene_CreateLight, 0},
                         Case{slot::HostScene_CreateTarget, 1}, Case{slot::HostScene_GetAnimation, 0}}) {
        const int heapBefore = PlatformHeapBlocksInUse();
        {
            testing_support::PluginHarness h;
            RefusingScene refusing(h.host(), c.refused);
            refhost::MemoryStream stream(std::vector<unsigned char>(scene.begin(), scene.end()));
            EXPECT_EQ(h.library().aseImport()(&stream, &refusing, 0, ImportModeScene), c.result) << c.refused;
            EXPECT_EQ(refusing.inner.endImportCalls(), 1) << c.refused;
        }
        EXPECT_EQ(PlatformHeapBlocksInUse(), heapBefore) << c.refused;
    }
}
