// The document loop, blocks that nobody reads, and the material list.
#include "ase/document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ase/materials.h"
#include "ase_text.h"

using ase_testing::AseText;
using Lines = std::vector<std::string>;

TEST(Document, ExportVersionAndFailedBlocks) {
    for (const auto& [version, text] : std::vector<std::pair<std::string, std::string>>{
             {"200", "MAX ascii export 2.0"}, {"110", "MAX ascii export 1.10"}, {"7", "MAX ascii export 0.7"}}) {
        AseText input("*3DSMAX_ASCIIEXPORT " + version);
        EXPECT_TRUE(ParseDocument(input.reader)) << "the end of the document";
        EXPECT_EQ(input.traceWith("Scene."), Lines{"Scene.AddSceneInfo(1, " + text + ")"});
    }
    // A failed block stops the loop: nothing after it is read.
    for (const char* text :
         {"*SCENE *SCENE_FIRSTFRAME 1", "*SCENE { *SCENE_FIRSTFRAME 1", "*MATERIAL_LIST [ }", "*GEOMOBJECT {",
          "*MATERIAL_LIST { *MATERIAL 0 { } }", "*MATERIAL_LIST { *MATERIAL_COUNT 0 *MATERIAL 0 { } }",
          "*MATERIAL_LIST { *MATERIAL_COUNT -3 *MATERIAL 0 { } }",
          "*MATERIAL_LIST { *MATERIAL_COUNT 2 *MATERIAL 2 { } }",
          "*MATERIAL_LIST { *MATERIAL_COUNT 2 *MATERIAL -1 { } }",
          "*MATERIAL_LIST { *MATERIAL_COUNT 1000000 *MATERIAL 0 { } }",  // beyond the table limit
          "*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *NUMSUBMTLS 2 *SUBMATERIAL 2 { } } }",
          "*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *SUBMATERIAL 0 { } *NUMSUBMTLS 2 } }",
          "*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *NUMSUBMTLS -1 *SUBMATERIAL 0 { } } }",
          "*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 *MATERIAL_NAME \"x\" }"}) {
        AseText input(std::string(text) + " *3DSMAX_ASCIIEXPORT 200");
        EXPECT_FALSE(ParseDocument(input.reader)) << text;
        EXPECT_TRUE(input.scene.sceneInfo().empty()) << text;
    }
}

TEST(Document, BlocksAfterKeywordValuesAreSkippedWhole) {
    // Nothing inside such a block is read, and its end closes nothing: the
    // enclosing block ends where it does, and the object after it arrives
    // at the document level.
    for (const std::string text : {
             "*UNKNOWN 1 2 { *GEOMOBJECT { *NODE_NAME \"inner\" } }",
             "*SCENE { *SCENE_FILENAME \"x.max\" *SCENE_ENVMAP 1 { *SCENE_FIRSTFRAME 9 } }",
             "*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *MATERIAL_SHINE 0.5 7 { *MATERIAL_NAME \"inner\" } "
             "*MATERIAL_XP_TYPE Filter { } } }",
             "*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *MAP_DIFFUSE { *MAP_AMOUNT 1.0 { *BITMAP \"inner\" } } "
             "} }",
             "*CAMERAOBJECT { *CAMERA_TYPE Target 2 { *NODE_NAME \"inner\" } *CAMERA_SETTINGS { *CAMERA_NEAR 1 2 { "
             "*CAMERA_FOV 9 } } }",
             "*LIGHTOBJECT { *LIGHT_SPOTSHAPE Circle 2 { *NODE_NAME \"inner\" } *LIGHT_SETTINGS { *LIGHT_UNKNOWN 1 { } "
             "} }",
             "*GEOMOBJECT { *MESH { *MESH_NUMFACES 1 *MESH_FACE_LIST { *MESH_FACE 0: *MESH_SMOOTHING { *MESH_MTLID 9 } "
             "*MESH_EXTRA 1 2 { *MESH_MTLID 9 } } } }",
         }) {
        AseText input(text + " *HELPEROBJECT { *NODE_NAME \"after\" }");
        ASSERT_TRUE(ParseDocument(input.reader)) << text;
        EXPECT_TRUE(input.traceWith("inner").empty()) << text;
        EXPECT_TRUE(input.traceWith("(9").empty()) << text;
        EXPECT_EQ(input.reader.firstFrame, 0.0f) << text;
        const Lines expected = text[1] == 'U' ? Lines{"0: *UNKNOWN skiped"} : Lines{};
        EXPECT_EQ(input.messages(), expected) << text;
        ASSERT_FALSE(input.scene.nodes().empty()) << text;
        const refhost::NodeData& after = *input.scene.nodes().back();
        EXPECT_EQ(after.name, "after") << text;
        EXPECT_EQ(after.parent(), nullptr) << text;
    }
}

TEST(Document, StrayClosingBraceIsReportedAndTakesNothingElse) {
    AseText input("} *GEOMOBJECT { *NODE_NAME \"kept\" } *UNKNOWN 1 *COMMENT \"c\" *3DSMAX_ASCIIEXPORT 200");
    ASSERT_TRUE(ParseDocument(input.reader));
    EXPECT_EQ(input.messages(), (Lines{"0: } skiped", "0: *UNKNOWN skiped"}));
    ASSERT_EQ(input.scene.nodes().size(), 1u) << "the object after the brace is read";
    EXPECT_EQ(input.node(0).name, "kept");
    EXPECT_EQ(input.scene.sceneInfo().size(), 2u);
}

namespace {

const refhost::MaterialValue* property(const refhost::MaterialData& material, int32_t id) {
    for (const auto& [key, value] : material.properties) {
        if (key == id) return &value;
    }
    return nullptr;
}

std::string nested(int depth) {
    std::string text = "*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { ";
    for (int i = 1; i < depth; ++i) text += "*NUMSUBMTLS 1 *SUBMATERIAL 0 { ";
    for (int i = 0; i < depth; ++i) text += "} ";
    return text + "}";
}

}  // namespace

TEST(Materials, PropertiesMapsAndSubMaterials) {
    AseText input(R"(*MATERIAL_LIST { *MATERIAL_COUNT 3
        *MATERIAL 1 {
            *MATERIAL_NAME "Brick" *MATERIAL_CLASS "Standard" *MATERIAL_AMBIENT 0.1 0.2 0.3
            *MATERIAL_DIFFUSE 0.4 0.5 0.6 *MATERIAL_SPECULAR 0.7 0.8 0.9 *MATERIAL_SHINE 0.25
            *MATERIAL_SHINESTRENGTH 0.5 *MATERIAL_TRANSPARENCY 0.25 *MATERIAL_SOFTEN **MATERIAL_TWOSIDED
            *MAP_DIFFUSE { *MAP_NAME "Map #1" *BITMAP "C:\maps\brick.bmp"
                *UVW_U_OFFSET 0.1 *UVW_V_OFFSET 0.2 *UVW_U_TILING 2 *UVW_V_TILING 3 }
            *MAP_BUMP { *BITMAP "bump.bmp" }
            *NUMSUBMTLS 2
            *SUBMATERIAL 1 { *MATERIAL_NAME "Mortar" *NUMSUBMTLS 1 *SUBMATERIAL 0 { *MATERIAL_NAME "Deep" } }
        }
        *MATERIAL 2 { *MATERIAL_TWOSIDED *MATERIAL_SHINE 0.5 *MATERIAL_NAME "Glass" }
    })");
    ASSERT_TRUE(ParseDocument(input.reader));
    ASSERT_EQ(input.reader.materialCount, 3);
    EXPECT_EQ(input.reader.materials[0], nullptr) << "a slot never filled stays empty";
    const MaterialRecord& brick = *input.reader.materials[1];
    EXPECT_EQ(brick.twoSided, 1);
    ASSERT_EQ(brick.subCount, 2);
    EXPECT_EQ(brick.subMaterials[0], nullptr);
    ASSERT_NE(brick.subMaterials[1], nullptr);
    EXPECT_EQ(brick.subMaterials[1]->subCount, 1);
    EXPECT_EQ(brick.subMaterials[1]->twoSided, 0);

    ASSERT_EQ(input.scene.materials().size(), 4u) << "one host material per block";
    const refhost::MaterialData& m = *input.scene.materials()[0];
    EXPECT_EQ(brick.hostMaterial, m.self);
    EXPECT_EQ(property(m, 200)->colour.y, 0.2f);
    EXPECT_EQ(property(m, 201)->colour.z, 0.6f);
    EXPECT_EQ(property(m, 202)->colour.x, 0.7f);
    EXPECT_EQ(property(m, 221)->number, 0.25f);
    EXPECT_EQ(property(m, 220)->number, 0.5f);
    EXPECT_EQ(property(m, 210)->number, 0.75f) << "transparency becomes opacity";
    EXPECT_EQ(property(m, 204)->text, "C:\\maps\\brick.bmp") << "only the diffuse map's bitmap";
    EXPECT_EQ(property(m, 207)->number, 0.1f);
    EXPECT_EQ(property(m, 208)->number, 0.2f);
    EXPECT_EQ(property(m, 205)->number, 2.0f);
    EXPECT_EQ(property(m, 206)->number, 3.0f);
    // The host material exists before any keyword of its block is read.
    const Lines calls = input.traceWith("M");
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "Scene.CreateMaterial -> M0");
    EXPECT_EQ(calls[1], "M0.SetName(Brick)");
    EXPECT_EQ(input.traceWith("SetName"),
              (Lines{"M0.SetName(Brick)", "M1.SetName(Mortar)", "M2.SetName(Deep)", "M3.SetName(Glass)"}));
    // The one-asterisk form, as exporters write it, keeps the keyword after it.
    const MaterialRecord& glass = *input.reader.materials[2];
    EXPECT_EQ(glass.twoSided, 1);
    EXPECT_NE(property(*input.scene.materials()[3], 221), nullptr) << "the shine value is read";
}

TEST(Materials, SubMaterialNestingIsCapped) {
    AseText deepest(nested(MaxMaterialNesting));
    EXPECT_TRUE(ParseDocument(deepest.reader));
    EXPECT_EQ(deepest.scene.materials().size(), static_cast<std::size_t>(MaxMaterialNesting));
    AseText tooDeep(nested(MaxMaterialNesting + 1));
    EXPECT_FALSE(ParseDocument(tooDeep.reader));
    EXPECT_EQ(tooDeep.scene.materials().size(), static_cast<std::size_t>(MaxMaterialNesting));
    AseText hostile(nested(200000));
    EXPECT_FALSE(ParseDocument(hostile.reader));
}
