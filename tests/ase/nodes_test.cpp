// The node and object dispatcher, node transforms, names, targets, groups,
// materials of geometry objects and the nesting limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ase/document.h"
#include "ase/object_scope.h"
#include "ase_text.h"

using ase_testing::AseText;
using ase_testing::faceFields;
using Lines = std::vector<std::string>;

namespace {

std::string rows(const std::string& name, const std::string& row3, int count = 4) {
    std::string text = "*NODE_TM {";
    if (!name.empty()) text += " *NODE_NAME \"" + name + "\"";
    text += " *INHERIT_POS 0 0 0 *TM_ROTAXIS 0 0 1 *TM_ROTANGLE 0";
    const char* const all[] = {" *TM_ROW0 1 0 0", " *TM_ROW1 0 1 0", " *TM_ROW2 0 0 1"};
    for (int i = 0; i < count && i < 3; ++i) text += all[i];
    if (count == 4) text += " *TM_ROW3 " + row3;
    return text + " *TM_POS 9 9 9 }";
}

}  // namespace

TEST(Nodes, KeywordsEveryNodeShares) {
    AseText input(
        "*FOO 1 *NODE_NAME \"ignored\" *PROP_CASTSHADOW 1 *HELPEROBJECT { *FOO 2 *NODE_NAME \"Helper\" "
        "*PROP_CASTSHADOW 1 *PROP_RECVSHADOW 0 *PROP_MOTIONBLUR 1 *CAMERAOBJECT { *BAR 3 } } *COMMENT \"c\" "
        "*comment \"d\" *" +
        std::string(600, 'L') + " 4");
    ASSERT_TRUE(ParseDocument(input.reader));
    ASSERT_EQ(input.scene.nodes().size(), 2u);
    EXPECT_EQ(input.node(0).name, "Helper");
    EXPECT_EQ(input.node(0).properties, (std::map<int32_t, uint32_t>{{101, 1}, {102, 0}}));
    EXPECT_EQ(input.app.statusTexts(), Lines{"Helper"});
    // Unknown keywords are reported only at the document level.
    ASSERT_EQ(input.messages().size(), 2u);
    EXPECT_EQ(input.messages()[0], "0: *FOO skiped");
    EXPECT_EQ(input.app.messages()[1].text, "*" + std::string(254, 'L')) << "a long keyword is cut to the buffer";
}

TEST(Nodes, TransformsNeedAllFourRowsAndGoToTheNodeTheyName) {
    const std::string vertex = " *MESH { *MESH_NUMVERTEX 1 *MESH_VERTEX_LIST { *MESH_VERTEX 0 11 2 3 } } }";
    AseText three("*GEOMOBJECT { *NODE_NAME \"Box\" " + rows("Box", "", 3) + vertex);
    ASSERT_TRUE(ParseDocument(three.reader));
    EXPECT_TRUE(three.traceWith("Transform").empty());
    EXPECT_EQ(three.node(0).vertices[0].x, 11.0f) << "not converted";

    AseText four("*GEOMOBJECT { *NODE_NAME \"Box\" " + rows("Box", "10 0 0") + vertex);
    ASSERT_TRUE(ParseDocument(four.reader));
    EXPECT_EQ(four.traceWith("Transform"), (Lines{"Node#0 Box.SetTransform", "Node#0 Box.GetTransform"}));
    const HostMatrix m = four.node(0).transform();
    EXPECT_EQ(m.m[3][0], 10.0);
    EXPECT_EQ(m.m[3][3], 1.0) << "column 3 keeps the identity's value";
    EXPECT_EQ(m.m[0][3], 0.0);
    EXPECT_EQ(four.node(0).vertices[0].x, 1.0f) << "moved into the node's own coordinates";
    EXPECT_EQ(four.node(0).vertices[0].y, 2.0f);

    AseText input("*GEOMOBJECT { " + rows("", "1 2 3") + " } *HELPEROBJECT { " + rows("", "4 5 6") +
                  " } *GEOMOBJECT { *NODE_NAME \"named\" " + rows("Nowhere", "7 8 9") + " } " + rows("", "1 1 1") +
                  " *HELPEROBJECT { *NODE_TM { *TM_ROW0 2 0 0 *TM_ROW0 3 0 0 *TM_ROW1 0 1 0 *TM_ROW2 0 0 1 } }");
    ASSERT_TRUE(ParseDocument(input.reader));
    EXPECT_EQ(input.node(0).transform().m[3][2], 3.0);
    EXPECT_EQ(input.node(1).transform().m[3][2], 6.0);
    EXPECT_EQ(input.node(2).transform().m[3][2], 9.0) << "a name that finds no node falls back to the block's own";
    EXPECT_EQ(input.node(3).transform().m[0][0], 3.0) << "a repeated row counts twice";
    EXPECT_EQ(input.traceWith("SetTransform").size(), 4u) << "a document-level transform has no node";
}

TEST(Nodes, DottedNamesMakeTargetsOfCamerasAndLights) {
    AseText input(
        "*GROUP \"Rig one\" { *CAMERAOBJECT { *NODE_NAME \"Camera01\" } *LIGHTOBJECT { *NODE_NAME \"Spot01\" } } "
        "*CAMERAOBJECT { *NODE_NAME \"Camera01\" " +
        rows("Camera01.Target", "5 5 5") + " " + rows("Spot01.Target", "6 6 6") + " " + rows("Spot01.Target", "7 7 7") +
        " " + rows("Nobody.Target", "8 8 8") + " }");
    ASSERT_TRUE(ParseDocument(input.reader));
    ASSERT_EQ(input.scene.nodes().size(), 6u);
    const refhost::NodeData &group = input.node(0), &camera = input.node(1), &light = input.node(2);
    const refhost::NodeData &cameraTargetNode = input.node(4), &lightTargetNode = input.node(5);
    EXPECT_EQ(group.name, "Rig one");
    EXPECT_EQ(camera.parent(), group.self);
    EXPECT_EQ(light.parent(), group.self);
    EXPECT_EQ(cameraTargetNode.kind, refhost::NodeKind::Target);
    EXPECT_EQ(cameraTargetNode.name, "Camera01.Target");
    EXPECT_EQ(cameraTargetNode.parent(), group.self) << "the target shares its base node's parent";
    EXPECT_EQ(cameraTarget(camera.self), cameraTargetNode.self);
    EXPECT_EQ(cameraTargetNode.transform().m[3][0], 5.0);
    EXPECT_EQ(lightTarget(light.self), lightTargetNode.self);
    EXPECT_EQ(lightTargetNode.transform().m[3][0], 7.0) << "the second block finds the target made by the first";
    EXPECT_EQ(input.node(3).transform().m[3][0], 8.0) << "no base node: the camera itself takes the matrix";
    EXPECT_EQ(input.traceWith("CreateTarget").size(), 2u);
}

TEST(Nodes, HelpersAndGroupsHoldTheirObjects) {
    AseText input(
        "*GROUP \"Two words\" { *GEOMOBJECT { *NODE_NAME \"child\" } *HELPEROBJECT { *SHAPEOBJECT { } } } "
        "*HELPEROBJECT \"\" { } *HELPEROBJECT \"missing brace\" *NODE_NAME \"x\"");
    EXPECT_FALSE(ParseDocument(input.reader));
    ASSERT_EQ(input.scene.nodes().size(), 5u);
    EXPECT_EQ(input.node(0).name, "Two words");
    EXPECT_EQ(input.node(1).parent(), input.node(0).self);
    EXPECT_EQ(input.node(2).parent(), input.node(0).self);
    EXPECT_EQ(input.node(3).parent(), input.node(2).self);
    EXPECT_FALSE(input.node(4).name.has_value()) << "an empty name is not set";
}

TEST(Nodes, GeometryObjectsTakeMaterialsSubMaterialsOrTheirWireframeColour) {
    const std::string materials =
        "*MATERIAL_LIST { *MATERIAL_COUNT 3 *MATERIAL 0 { *NUMSUBMTLS 2 *SUBMATERIAL 0 { } "
        "*SUBMATERIAL 1 { **MATERIAL_TWOSIDED } } *MATERIAL 1 { **MATERIAL_TWOSIDED } } ";
    const std::string faces =
        "*MESH { *MESH_NUMFACES 4 *MESH_FACE_LIST { *MESH_FACE 0: *MESH_MTLID 1 *MESH_FACE 1: *MESH_MTLID 5 "
        "*MESH_FACE 2: *MESH_MTLID 0 *MESH_FACE 3: *MESH_MTLID -1 } } ";
    AseText input(materials + "*GEOMOBJECT { *MATERIAL_REF 0 " + faces + "} *GEOMOBJECT { " + faces +
                  "*MATERIAL_REF 1 } *GEOMOBJECT { " + faces + "*MATERIAL_REF 2 *WIREFRAME_COLOR 0 0 1 } " +
                  "*GEOMOBJECT { " + faces + "*MATERIAL_REF 3 } *GEOMOBJECT { *WIREFRAME_COLOR -1 0.5 0.5 }");
    ASSERT_TRUE(ParseDocument(input.reader));
    const auto material = [&](int index) { return reinterpret_cast<uint32_t>(input.scene.materials()[index]->self); };
    // Host materials: M0 material 0, M1 and M2 its sub-materials, M3 material 1.
    const refhost::NodeData& first = input.node(0);
    EXPECT_EQ(faceFields(first.faces[0]).material, material(2));
    EXPECT_EQ(faceFields(first.faces[0]).flags, FaceTwoSided);
    EXPECT_EQ(faceFields(first.faces[1]).material, material(0)) << "an id outside the sub-materials";
    EXPECT_EQ(faceFields(first.faces[2]).material, material(1));
    EXPECT_EQ(faceFields(first.faces[2]).flags, 0);
    EXPECT_EQ(faceFields(first.faces[3]).material, material(0));
    for (const HostFace& face : input.node(1).faces) {
        EXPECT_EQ(faceFields(face).material, material(3)) << "the reference may follow the mesh";
        EXPECT_EQ(faceFields(face).flags, FaceTwoSided);
    }
    // Material 2 is an empty slot and 3 lies outside the table: the ids stay.
    EXPECT_EQ(faceFields(input.node(2).faces[0]).material, 1u);
    EXPECT_EQ(faceFields(input.node(3).faces[1]).material, 5u);
    ASSERT_EQ(input.scene.materials().size(), 5u) << "only the empty slot's object got its wireframe colour";
    EXPECT_EQ(input.traceWith("M4"),
              (Lines{"Scene.CreateMaterial -> M4", "M4.SetProperty(201, 0 0 1)", "M4.SetName(WireFrame material)"}));
    EXPECT_EQ(input.node(2).properties.at(NodeMaterial), material(4));
    EXPECT_EQ(input.node(3).properties.count(NodeMaterial), 0u) << "no wireframe colour, no material";
    EXPECT_EQ(input.node(4).properties.count(NodeMaterial), 0u) << "a red component of -1 or less means none";
}

TEST(Nodes, ObjectNestingIsCapped) {
    for (const char* object :
         {"*GROUP { ", "*GEOMOBJECT { ", "*SHAPEOBJECT { ", "*CAMERAOBJECT { ", "*LIGHTOBJECT { "}) {
        for (const int depth : {MaxObjectNesting, MaxObjectNesting + 1, 100000}) {
            std::string text;
            for (int i = 1; i < depth; ++i) text += "*GROUP { ";
            text += std::string(object) + "} ";
            for (int i = 1; i < depth; ++i) text += "} ";
            AseText input(text);
            EXPECT_EQ(ParseDocument(input.reader), depth == MaxObjectNesting) << object << depth;
            EXPECT_EQ(input.scene.nodes().size(), static_cast<std::size_t>(std::min(depth, MaxObjectNesting)))
                << object << depth;
            EXPECT_EQ(input.reader.objectDepth, 0) << object << depth;
        }
    }
}
