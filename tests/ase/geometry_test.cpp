// Meshes and shape lines, written into the host node of their object, and
// the mending of indices that lie outside their arrays.
#include "ase/geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ase/document.h"
#include "ase/object_scope.h"
#include "ase_text.h"
#include "frame/module_state.h"

using ase_testing::AseText;
using ase_testing::faceFields;
using Lines = std::vector<std::string>;

namespace {

std::string geomObject(const std::string& mesh, const std::string& extra = "") {
    return "*GEOMOBJECT {\n *NODE_NAME \"Box\"\n *MESH {\n" + mesh + "\n }\n" + extra + "\n}\n";
}

const char* const Triangle = R"(
    *TIMEVALUE 0
    *MESH_NUMVERTEX 3
    *MESH_NUMFACES 2
    *MESH_VERTEX_LIST {
        *MESH_VERTEX 0 0.0 0.0 0.0
        *MESH_VERTEX 2 1.5 -2.0 3.25
        *MESH_VERTEX 1 1.0 0.0 0.0
    }
    *MESH_FACE_LIST {
        *MESH_FACE 0: A: 0 B: 1 C: 2 AB: 1 BC: 1 CA: 0 *MESH_SMOOTHING 1,2 *MESH_MTLID 3
        *MESH_FACE 1: A: 2 B: 1 C: 0 AB: 0 BC: 0 CA: 1 *MESH_SMOOTHING *MESH_MTLID 4
    }
    *MESH_NUMTVERTEX 2
    *MESH_TVERTLIST {
        *MESH_TVERT 0 0.5 0.25 0.9
        *MESH_TVERT 1 1.0 1.0 0.0
    }
    *MESH_NUMTVFACES 2
    *MESH_TFACELIST {
        *MESH_TFACE 0 0 1 1
        *MESH_TFACE 1 1 0 0
    }
    *MESH_NORMALS { *MESH_FACENORMAL 0 0 0 1 })";

}  // namespace

TEST(Geometry, MeshFillsTheHostArraysInPlace) {
    AseText input(geomObject(Triangle));
    ASSERT_TRUE(ParseDocument(input.reader));
    const refhost::NodeData& node = input.node(0);
    ASSERT_EQ(node.vertices.size(), 3u);
    EXPECT_EQ(node.vertices[2].x, 1.5f);
    EXPECT_EQ(node.vertices[2].y, -2.0f);
    EXPECT_EQ(node.vertices[2].z, 3.25f);
    ASSERT_EQ(node.texVertices.size(), 2u);
    EXPECT_EQ(node.texVertices[0].u, 0.5f);
    EXPECT_EQ(node.texVertices[0].v, 0.75f) << "v is flipped and w ignored";
    EXPECT_EQ(node.texVertices[1].v, 0.0f);
    ASSERT_EQ(node.faces.size(), 2u);
    const auto f0 = faceFields(node.faces[0]), f1 = faceFields(node.faces[1]);
    EXPECT_EQ((std::vector<int>{f0.a, f0.b, f0.c, f0.ta, f0.tb, f0.tc}), (std::vector<int>{0, 1, 2, 0, 1, 1}));
    EXPECT_EQ((std::vector<int>{f1.a, f1.b, f1.c, f1.ta, f1.tb, f1.tc}), (std::vector<int>{2, 1, 0, 1, 0, 0}));
    EXPECT_EQ(f0.flags, FaceEdgeAB | FaceEdgeBC);
    EXPECT_EQ(f1.flags, FaceEdgeCA);
    EXPECT_EQ(f0.material, 3u) << "the smoothing list's values are passed over";
    EXPECT_EQ(f1.material, 4u) << "a smoothing keyword without groups leaves the next field to the face";
    EXPECT_EQ(input.traceWith("Set"), (Lines{"Node#0.SetName(Box)", "Node#0 Box.SetVertexCount(3)",
                                             "Node#0 Box.SetFaceCount(2)", "Node#0 Box.SetTexVertexCount(2)"}));
    EXPECT_TRUE(input.app.messages().empty());
}

TEST(Geometry, EdgeBitsAreOnlyEverSet) {
    AseText input(geomObject(
        "*MESH_NUMFACES 1 *MESH_FACE_LIST { *MESH_FACE 0: AB: 1 BC: 1 CA: 0 *MESH_FACE 0: AB: 0 BC: 0 CA: 1 }"));
    ASSERT_TRUE(ParseDocument(input.reader));
    EXPECT_EQ(faceFields(input.node(0).faces[0]).flags, FaceEdgeAB | FaceEdgeBC | FaceEdgeCA);
}

TEST(Geometry, FaceFieldsWithoutAFaceAreOrdinaryTokens) {
    AseText input(geomObject("*MESH_NUMFACES 1 *MESH_FACE_LIST { A: 5 *MESH_MTLID 7 *MESH_FACE 0: B: 0 }"));
    ASSERT_TRUE(ParseDocument(input.reader));
    const auto f = faceFields(input.node(0).faces[0]);
    EXPECT_EQ(f.material, 0u);
    EXPECT_EQ(f.a, 0);
}

namespace {

// ParseMesh over "{ body }" into a new node of the input's scene.
bool parseMesh(AseText& input) {
    ObjectScope object(input.reader, input.scene.CreateNode());
    return ParseMesh(input.reader, object);
}

}  // namespace

TEST(Geometry, BrokenListsFailTheMesh) {
    const std::vector<std::string> broken = {
        "*MESH_NUMVERTEX 2 *MESH_VERTEX_LIST { *MESH_VERTEX 2 1 1 1 }",  // index equal to the count
        "*MESH_NUMVERTEX 2 *MESH_VERTEX_LIST { *MESH_VERTEX -1 1 1 1 }",
        "*MESH_VERTEX_LIST { *MESH_VERTEX 0 1 1 1 }",  // the list before its count
        "*MESH_NUMVERTEX -2 *MESH_VERTEX_LIST { }",    // a negative count
        "*MESH_NUMTVERTEX -1 *MESH_TVERTLIST { }",
        "*MESH_NUMFACES -1 *MESH_FACE_LIST { }",
        "*MESH_NUMTVERTEX 1 *MESH_TVERTLIST { *MESH_TVERT 1 0 0 0 }",
        "*MESH_NUMFACES 2 *MESH_FACE_LIST { *MESH_FACE 2: A: 0 }",
        "*MESH_NUMFACES 2 *MESH_FACE_LIST { *MESH_FACE 0: } *MESH_NUMTVFACES 3 *MESH_TFACELIST { }",  // counts differ
        "*MESH_NUMTVFACES 1 *MESH_TFACELIST { *MESH_TFACE 0 0 0 0 }",  // before the faces
        "*MESH_NUMFACES 1 *MESH_FACE_LIST { } *MESH_NUMTVFACES 1 *MESH_TFACELIST { *MESH_TFACE 1 0 0 0 }",
        "*MESH_NUMVERTEX 100000000 *MESH_VERTEX_LIST { }",             // the host refuses the size
        "*MESH_NUMVERTEX 1 *MESH_VERTEX_LIST *MESH_VERTEX 0 1 1 1",    // no block
        "*MESH_NUMVERTEX 1 *MESH_VERTEX_LIST { *MESH_VERTEX 0 1 1 1",  // the end of input
    };
    for (const std::string& body : broken) {
        AseText input("{ " + body + " }");
        EXPECT_FALSE(parseMesh(input)) << body;
    }
    AseText negative("{ *MESH_NUMVERTEX -2 *MESH_VERTEX_LIST { } }");
    parseMesh(negative);
    EXPECT_TRUE(negative.traceWith("SetVertexCount").empty()) << "a negative count never reaches the host";
}

TEST(Geometry, BrokenMeshDoesNotFailItsObject) {
    // The texture face list takes *PROP_CASTSHADOW for its missing brace and
    // fails; the object reads on and resets the material ids of its faces.
    AseText input(
        "*GEOMOBJECT { *MESH { *MESH_NUMFACES 2 *MESH_FACE_LIST { *MESH_FACE 0: *MESH_MTLID 2 "
        "*MESH_FACE 1: *MESH_MTLID 3 } *MESH_NUMTVFACES 2 *MESH_TFACELIST *PROP_CASTSHADOW *PROP_RECVSHADOW 1 }");
    ASSERT_TRUE(ParseDocument(input.reader));
    const refhost::NodeData& node = input.node(0);
    EXPECT_EQ(node.properties.at(NodeReceiveShadow), 1u);
    EXPECT_EQ(faceFields(node.faces[0]).material, 0u);
    EXPECT_EQ(faceFields(node.faces[1]).material, 0u);
}

TEST(Geometry, UnknownKeywordBeforeMaterialIdLosesIt) {
    AseText input(
        geomObject("*MESH_NUMFACES 1 *MESH_FACE_LIST { *MESH_FACE 0: *MESH_MTLID 2 *MESH_FLAG *MESH_MTLID 5 }"));
    ASSERT_TRUE(ParseDocument(input.reader));
    EXPECT_EQ(faceFields(input.node(0).faces[0]).material, 2u);
}

TEST(Geometry, SmoothingWithoutGroupsLeavesTheListsEndToTheList) {
    // Had the brace been taken as the groups, the object's own closing brace
    // would end the face list and the tex vertex count would be lost.
    AseText input(geomObject(
        "*MESH_NUMFACES 1 *MESH_FACE_LIST { *MESH_FACE 0: A: 0 B: 0 C: 0 *MESH_SMOOTHING } *MESH_NUMTVERTEX 1 "
        "*MESH_TVERTLIST { *MESH_TVERT 0 0.5 0.5 0 }"));
    ASSERT_TRUE(ParseDocument(input.reader));
    EXPECT_EQ(input.node(0).texVertices.size(), 1u);
}

TEST(Geometry, MappingChannelsAreSkippedWhole) {
    // Channels after the first are written as a keyword with a value and a
    // block; read as the mesh's own, theirs would replace its texture
    // coordinates, and their end would close the mesh.
    AseText input(geomObject(R"(
        *MESH_NUMVERTEX 3 *MESH_NUMFACES 1
        *MESH_VERTEX_LIST { *MESH_VERTEX 0 0 0 0 *MESH_VERTEX 1 1 0 0 *MESH_VERTEX 2 0 1 0 }
        *MESH_FACE_LIST { *MESH_FACE 0: A: 0 B: 1 C: 2 }
        *MESH_NUMTVERTEX 2 *MESH_TVERTLIST { *MESH_TVERT 0 0.5 0.25 0 *MESH_TVERT 1 1 1 0 }
        *MESH_NUMTVFACES 1 *MESH_TFACELIST { *MESH_TFACE 0 0 1 1 }
        *MESH_MAPPINGCHANNEL 2 {
            *MESH_NUMTVERTEX 1 *MESH_TVERTLIST { *MESH_TVERT 0 9 9 9 }
            *MESH_NUMTVFACES 1 *MESH_TFACELIST { *MESH_TFACE 0 0 0 0 }
        }
        *MESH_NORMALS { *MESH_FACENORMAL 0 0 0 1 })") +
                  "*GEOMOBJECT { *NODE_NAME \"Next\" }");
    ASSERT_TRUE(ParseDocument(input.reader));
    ASSERT_EQ(input.scene.nodes().size(), 2u);
    const refhost::NodeData& mesh = input.node(0);
    ASSERT_EQ(mesh.texVertices.size(), 2u);
    EXPECT_EQ(mesh.texVertices[0].u, 0.5f);
    const auto f = faceFields(mesh.faces.at(0));
    EXPECT_EQ((std::vector<int>{f.ta, f.tb, f.tc}), (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(input.node(1).name, "Next");
    EXPECT_EQ(input.node(1).parent(), nullptr);
    EXPECT_TRUE(input.app.messages().empty());
}

TEST(Geometry, IndicesOutsideTheirArraysAreMendedAndReported) {
    AseText input(geomObject(R"(
        *MESH_NUMVERTEX 3 *MESH_NUMFACES 3
        *MESH_VERTEX_LIST { *MESH_VERTEX 0 0 0 0 *MESH_VERTEX 1 1 0 0 *MESH_VERTEX 2 0 1 0 }
        *MESH_FACE_LIST {
            *MESH_FACE 0: A: 0 B: 1 C: 2
            *MESH_FACE 1: A: 3 B: -1 C: 2
            *MESH_FACE 2: A: 2 B: 1 C: 2000000000
        }
        *MESH_NUMTVERTEX 2 *MESH_TVERTLIST { *MESH_TVERT 0 0 0 0 *MESH_TVERT 1 1 1 0 }
        *MESH_NUMTVFACES 3 *MESH_TFACELIST { *MESH_TFACE 0 0 1 2 *MESH_TFACE 1 1 1 1 *MESH_TFACE 2 0 0 0 })"));
    ASSERT_TRUE(ParseDocument(input.reader));
    const refhost::NodeData& node = input.node(0);
    const auto f0 = faceFields(node.faces[0]), f1 = faceFields(node.faces[1]), f2 = faceFields(node.faces[2]);
    EXPECT_EQ((std::vector<int>{f0.a, f0.b, f0.c, f0.ta, f0.tb, f0.tc}), (std::vector<int>{0, 1, 2, 0, 1, 0}));
    EXPECT_EQ((std::vector<int>{f1.a, f1.b, f1.c}), (std::vector<int>{0, 0, 2}));
    EXPECT_EQ(f2.c, 0);
    EXPECT_EQ(input.messages(), Lines{"0: Object \"Box\": 4 indices out of range set to 0"});
}

TEST(Geometry, IndicesAreCheckedAgainstTheFinalArrays) {
    // A second mesh block of the object shrinks the vertex array under faces
    // read before; texture indices of a mesh without texture vertices may
    // only be 0.
    AseText input(
        "*GEOMOBJECT { *MESH { *MESH_NUMVERTEX 5 *MESH_NUMFACES 1 *MESH_VERTEX_LIST { } "
        "*MESH_FACE_LIST { *MESH_FACE 0: A: 4 B: 3 C: 0 } *MESH_NUMTVFACES 1 *MESH_TFACELIST { *MESH_TFACE 0 0 0 1 } } "
        "*MESH { *MESH_NUMVERTEX 4 *MESH_VERTEX_LIST { } } }");
    ASSERT_TRUE(ParseDocument(input.reader));
    const auto f = faceFields(input.node(0).faces[0]);
    EXPECT_EQ((std::vector<int>{f.a, f.b, f.c, f.ta, f.tb, f.tc}), (std::vector<int>{0, 3, 0, 0, 0, 0}));
    EXPECT_EQ(input.messages(), (Lines{"0: Object \"\": 2 indices out of range set to 0"}))
        << "one message per object, after both meshes";
}

TEST(Geometry, ValidMeshesAndMeshesWithoutTextureVerticesNeedNoMending) {
    AseText input(geomObject(
        "*MESH_NUMVERTEX 3 *MESH_NUMFACES 1 *MESH_VERTEX_LIST { } *MESH_FACE_LIST { *MESH_FACE 0: A: 0 B: 1 C: 2 }"));
    ASSERT_TRUE(ParseDocument(input.reader));
    EXPECT_TRUE(input.app.messages().empty());
}

namespace {

std::string shape(const std::string& line, int lineCount = 1) {
    return "*SHAPEOBJECT { *NODE_NAME \"Line01\" *SHAPE_LINECOUNT " + std::to_string(lineCount) + " *SHAPE_LINE 0 {" +
           line + "} }";
}

std::vector<int> linePoints(const refhost::NodeData& node, std::size_t line) {
    const HostLine& record = node.lines.at(line);
    const int count = record.pointCount;
    const int32_t* points = record.points;
    return std::vector<int>(points, points + count);
}

}  // namespace

TEST(Geometry, ClosedLinesRepeatTheirFirstPoint) {
    const std::string knots =
        " *SHAPE_VERTEX_KNOT 0 0 0 0 *SHAPE_VERTEX_INTERP 1 1 0 0 *SHAPE_VERTEX_KNOT 2 1 1 0 *SHAPE_VERTEX_KNOT 3 0 1 "
        "0 ";
    AseText closed(shape("*SHAPE_CLOSED *SHAPE_VERTEXCOUNT 4" + knots));
    ASSERT_TRUE(ParseDocument(closed.reader));
    EXPECT_EQ(linePoints(closed.node(0), 0), (std::vector<int>{0, 1, 2, 3, 0}));
    EXPECT_EQ(closed.node(0).lines[0].flags & LineInUse, LineInUse);
    EXPECT_EQ(closed.node(0).vertices.size(), 4u) << "the point table went to the node";

    AseText open(shape("*SHAPE_VERTEXCOUNT 4" + knots));
    ASSERT_TRUE(ParseDocument(open.reader));
    EXPECT_EQ(linePoints(open.node(0), 0), (std::vector<int>{0, 1, 2, 3}));

    AseText closedLate(shape("*SHAPE_VERTEXCOUNT 4" + knots + "*SHAPE_CLOSED"));
    ASSERT_TRUE(ParseDocument(closedLate.reader));
    EXPECT_EQ(linePoints(closedLate.node(0), 0), (std::vector<int>{0, 1, 2, 0})) << "the last entry is overwritten";
    EXPECT_TRUE(closed.app.messages().empty());
}

TEST(Geometry, BadLinesFailTheShapeAfterStoringItsPoints) {
    struct Case {
        std::string line;
        std::size_t pointsStored;
    };
    const std::vector<Case> bad = {
        {"*SHAPE_VERTEXCOUNT 2 *SHAPE_VERTEX_KNOT 0 0 0 0 *SHAPE_VERTEXCOUNT 1", 1},
        {"*SHAPE_VERTEXCOUNT 2 *SHAPE_VERTEX_KNOT 0 0 0 0 *SHAPE_VERTEX_KNOT 2 0 0 0", 1},
        {"*SHAPE_VERTEXCOUNT 2 *SHAPE_VERTEX_KNOT 0 0 0 0 *SHAPE_VERTEX_KNOT -1 0 0 0", 1},
        {"*SHAPE_VERTEX_KNOT 0 0 0 0", 0},  // before the count
        {"*SHAPE_VERTEXCOUNT 65536", 0},
        {"*SHAPE_CLOSED *SHAPE_VERTEXCOUNT 65535", 0},
    };
    for (const Case& c : bad) {
        AseText input(shape(c.line) + " *3DSMAX_ASCIIEXPORT 200");
        EXPECT_FALSE(ParseDocument(input.reader)) << c.line;
        EXPECT_EQ(input.app.outstandingHelpers(), 0) << "the point list is released: " << c.line;
        EXPECT_EQ(input.traceWith("StorePoints").size(), 1u) << c.line;
        EXPECT_EQ(input.node(0).vertices.size(), c.pointsStored) << c.line;
    }
    // The text is long enough to hold the points it declares.
    AseText widest(shape("*SHAPE_CLOSED *SHAPE_VERTEXCOUNT 65534") + std::string(8 * 65536, ' '));
    ASSERT_TRUE(ParseDocument(widest.reader));
    EXPECT_EQ(widest.node(0).lines[0].pointCount, 65535);
    AseText outside(shape("", 1) + "*SHAPEOBJECT { *SHAPE_LINECOUNT 1 *SHAPE_LINE 1 { } }");
    EXPECT_FALSE(ParseDocument(outside.reader)) << "a line index outside the line count";
    EXPECT_EQ(outside.app.outstandingHelpers(), 0);
}

namespace {

// A point list that hands out indices the shape's table does not have.
class WildPointList final : public HostPointList {
 public:
    int32_t HOSTAPI Release() override {
        delete this;
        return 0;
    }
    int32_t HOSTAPI AddPoint(const Point3*, int32_t* index) override {
        *index = 1000;
        return 1;
    }
    int32_t HOSTAPI StorePoints(HostNode*) override { return 1; }
    int32_t HOSTAPI Init(int32_t) override { return 1; }

 private:
    static const char* contractName() { return "HostPointList"; }
    HOST_UNUSED_SLOTS_HostPointList(REFHOST_UNUSED_SLOT)
};

}  // namespace

TEST(Geometry, LineIndicesOutsideThePointTableAreMended) {
    AseText input(shape("*SHAPE_VERTEXCOUNT 3 *SHAPE_VERTEX_KNOT 0 0 0 0 *SHAPE_VERTEX_KNOT 2 1 0 0"));
    struct WildApp : refhost::App {
        HostPointList* HOSTAPI CreatePointList() override { return new WildPointList; }
    } wild;
    hostApp = &wild;
    ASSERT_TRUE(ParseDocument(input.reader));
    hostApp = &input.app;
    EXPECT_EQ(linePoints(input.node(0), 0), (std::vector<int>{0, 0, 0}));
    ASSERT_EQ(wild.messages().size(), 1u);
    EXPECT_EQ(wild.messages()[0].text, "Object \"Line01\": 2 indices out of range set to 0");
}

TEST(Geometry, AShapeThatFailsAfterItsLinesStillStoresTheirPoints) {
    // The lines' indices were checked against the points read; a failure
    // later in the block must not take the points away from them.
    const std::string knots = "*SHAPE_VERTEXCOUNT 2 *SHAPE_VERTEX_KNOT 0 0 0 0 *SHAPE_VERTEX_KNOT 1 1 0 0";
    for (const char* failure : {"*NODE_TM 5 }", "*HELPEROBJECT { *NODE_NAME", "*TM_ANIMATION x"}) {
        AseText input("*SHAPEOBJECT { *NODE_NAME \"Line01\" *SHAPE_LINECOUNT 1 *SHAPE_LINE 0 {" + knots + "} " +
                      failure);
        EXPECT_FALSE(ParseDocument(input.reader)) << failure;
        EXPECT_EQ(input.app.outstandingHelpers(), 0) << failure;
        EXPECT_EQ(input.node(0).vertices.size(), 2u) << failure;
        EXPECT_EQ(linePoints(input.node(0), 0), (std::vector<int>{0, 1})) << failure;
    }
}
