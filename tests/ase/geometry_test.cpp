// Meshes and shape lines, written into the host node of their object, and
// the mending of face indices that lie outside their arrays.
#include "ase/geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ase/document.h"
#include "ase/object_scope.h"
#include "ase_text.h"

using ase_testing::AseText;
using ase_testing::faceFields;
using Ints = std::vector<int>;
using Lines = std::vector<std::string>;

namespace {

std::string geomObject(const std::string& mesh) {
    return "*GEOMOBJECT {\n *NODE_NAME \"Box\"\n *MESH {\n" + mesh + "\n }\n}\n";
}

Ints corners(const HostFace& face) {
    const auto f = faceFields(face);
    return {f.a, f.b, f.c, f.ta, f.tb, f.tc};
}

}  // namespace

TEST(Geometry, MeshFillsTheHostArraysInPlace) {
    AseText input(geomObject(R"(
        *TIMEVALUE 0 *MESH_NUMVERTEX 3 *MESH_NUMFACES 2
        *MESH_VERTEX_LIST { *MESH_VERTEX 0 0 0 0 *MESH_VERTEX 2 1.5 -2.0 3.25 *MESH_VERTEX 1 1 0 0 }
        *MESH_FACE_LIST {
            *MESH_FACE 0: A: 0 B: 1 C: 2 AB: 1 BC: 1 CA: 0 *MESH_SMOOTHING 1,2 *MESH_MTLID 3
            *MESH_FACE 1: A: 2 B: 1 C: 0 AB: 0 BC: 0 CA: 1 *MESH_SMOOTHING *MESH_MTLID 4
        }
        *MESH_NUMTVERTEX 2 *MESH_TVERTLIST { *MESH_TVERT 0 0.5 0.25 0.9 *MESH_TVERT 1 1.0 1.0 0.0 }
        *MESH_NUMTVFACES 2 *MESH_TFACELIST { *MESH_TFACE 0 0 1 1 *MESH_TFACE 1 1 0 0 }
        *MESH_MAPPINGCHANNEL 2 {
            *MESH_NUMTVERTEX 1 *MESH_TVERTLIST { *MESH_TVERT 0 9 9 9 }
            *MESH_NUMTVFACES 2 *MESH_TFACELIST { *MESH_TFACE 0 0 0 0 *MESH_TFACE 1 0 0 0 }
        }
        *MESH_NORMALS { *MESH_FACENORMAL 0 0 0 1 })") +
                  "*GEOMOBJECT { *NODE_NAME \"Next\" }");
    ASSERT_TRUE(ParseDocument(input.reader));
    const refhost::NodeData& node = input.node(0);
    ASSERT_EQ(node.vertices.size(), 3u);
    EXPECT_EQ(node.vertices[2].x, 1.5f);
    EXPECT_EQ(node.vertices[2].y, -2.0f);
    EXPECT_EQ(node.vertices[2].z, 3.25f);
    // A further mapping channel, written as a keyword with a value and a
    // block, replaces neither the texture vertices nor the texture faces.
    ASSERT_EQ(node.texVertices.size(), 2u);
    EXPECT_EQ(node.texVertices[0].u, 0.5f);
    EXPECT_EQ(node.texVertices[0].v, 0.75f) << "v is flipped and w ignored";
    EXPECT_EQ(node.texVertices[1].v, 0.0f);
    ASSERT_EQ(node.faces.size(), 2u);
    EXPECT_EQ(corners(node.faces[0]), (Ints{0, 1, 2, 0, 1, 1}));
    EXPECT_EQ(corners(node.faces[1]), (Ints{2, 1, 0, 1, 0, 0}));
    const auto f0 = faceFields(node.faces[0]), f1 = faceFields(node.faces[1]);
    EXPECT_EQ(f0.flags, FaceEdgeAB | FaceEdgeBC);
    EXPECT_EQ(f1.flags, FaceEdgeCA);
    EXPECT_EQ(f0.material, 3u) << "the smoothing list's values are passed over";
    EXPECT_EQ(f1.material, 4u) << "a smoothing keyword without groups leaves the next field to the face";
    EXPECT_EQ(input.traceWith("Set"),
              (Lines{"Node#0.SetName(Box)", "Node#0 Box.SetVertexCount(3)", "Node#0 Box.SetFaceCount(2)",
                     "Node#0 Box.SetTexVertexCount(2)", "Node#1.SetName(Next)"}));
    EXPECT_EQ(input.node(1).parent(), nullptr) << "the next object arrives at the document level";
    EXPECT_TRUE(input.app.messages().empty());
}

TEST(Geometry, FaceListTokens) {
    struct Case {
        const char* list;
        int flags;
        uint32_t material;
    };
    for (const Case& c : {
             // Edge bits are only ever set.
             Case{"*MESH_FACE 0: AB: 1 BC: 1 CA: 0 *MESH_FACE 0: AB: 0 BC: 0 CA: 1", 7, 0},
             // Face fields without a face are tokens like any other.
             Case{"A: 5 *MESH_MTLID 7 *MESH_FACE 0: B: 0", 0, 0},
             // An unknown keyword takes the next one as its value, and that one its number.
             Case{"*MESH_FACE 0: *MESH_MTLID 2 *MESH_FLAG *MESH_MTLID 5", 0, 2},
         }) {
        AseText input(geomObject(std::string("*MESH_NUMFACES 1 *MESH_FACE_LIST { ") + c.list + " }"));
        ASSERT_TRUE(ParseDocument(input.reader)) << c.list;
        const auto f = faceFields(input.node(0).faces[0]);
        EXPECT_EQ(f.flags, c.flags) << c.list;
        EXPECT_EQ(f.material, c.material) << c.list;
        EXPECT_EQ(f.a, 0) << c.list;
    }
    // Had the brace been taken as the groups, the object's own closing brace
    // would end the face list and the tex vertex count would be lost.
    AseText smoothing(geomObject(
        "*MESH_NUMFACES 1 *MESH_FACE_LIST { *MESH_FACE 0: A: 0 B: 0 C: 0 *MESH_SMOOTHING } *MESH_NUMTVERTEX 1 "
        "*MESH_TVERTLIST { *MESH_TVERT 0 0.5 0.5 0 }"));
    ASSERT_TRUE(ParseDocument(smoothing.reader));
    EXPECT_EQ(smoothing.node(0).texVertices.size(), 1u);
}

TEST(Geometry, BrokenListsFailTheMeshButNotItsObject) {
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
        ObjectScope object(input.reader, input.scene.CreateNode());
        EXPECT_FALSE(ParseMesh(input.reader, object)) << body;
        if (body.find("-2") != std::string::npos) {
            EXPECT_TRUE(input.traceWith("SetVertexCount").empty()) << "a negative count never reaches the host";
        }
    }
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

TEST(Geometry, IndicesOutsideTheFinalArraysAreMendedAndReportedOnce) {
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
    EXPECT_EQ(corners(node.faces[0]), (Ints{0, 1, 2, 0, 1, 0}));
    EXPECT_EQ(corners(node.faces[1]), (Ints{0, 0, 2, 1, 1, 1}));
    EXPECT_EQ(faceFields(node.faces[2]).c, 0);
    EXPECT_EQ(input.messages(), Lines{"0: Object \"Box\": 4 indices out of range set to 0"});
    // A second mesh block shrinks the vertex array under faces read before;
    // texture indices of a mesh without texture vertices may only be 0.
    AseText shrunk(
        "*GEOMOBJECT { *MESH { *MESH_NUMVERTEX 5 *MESH_NUMFACES 1 *MESH_VERTEX_LIST { } "
        "*MESH_FACE_LIST { *MESH_FACE 0: A: 4 B: 3 C: 0 } *MESH_NUMTVFACES 1 *MESH_TFACELIST { *MESH_TFACE 0 0 0 1 } } "
        "*MESH { *MESH_NUMVERTEX 4 *MESH_VERTEX_LIST { } } }");
    ASSERT_TRUE(ParseDocument(shrunk.reader));
    EXPECT_EQ(corners(shrunk.node(0).faces[0]), (Ints{0, 3, 0, 0, 0, 0}));
    EXPECT_EQ(shrunk.messages(), (Lines{"0: Object \"\": 2 indices out of range set to 0"}))
        << "one message per object, after both meshes";
}

namespace {

std::string shape(const std::string& line) {
    return "*SHAPEOBJECT { *NODE_NAME \"Line01\" *SHAPE_LINECOUNT 1 *SHAPE_LINE 0 {" + line + "} }";
}

Ints linePoints(const refhost::NodeData& node) {
    const HostLine& record = node.lines.at(0);
    const int32_t* points = record.points;
    return Ints(points, points + record.pointCount);
}

}  // namespace

TEST(Geometry, ClosedLinesRepeatTheirFirstPoint) {
    const std::string knots =
        " *SHAPE_VERTEX_KNOT 0 0 0 0 *SHAPE_VERTEX_INTERP 1 1 0 0 *SHAPE_VERTEX_KNOT 2 1 1 0 *SHAPE_VERTEX_KNOT 3 0 1 "
        "0 ";
    AseText closed(shape("*SHAPE_CLOSED *SHAPE_VERTEXCOUNT 4" + knots));
    ASSERT_TRUE(ParseDocument(closed.reader));
    EXPECT_EQ(linePoints(closed.node(0)), (Ints{0, 1, 2, 3, 0}));
    EXPECT_EQ(closed.node(0).lines[0].flags & LineInUse, LineInUse);
    EXPECT_EQ(closed.node(0).vertices.size(), 4u) << "the point table went to the node";
    EXPECT_TRUE(closed.app.messages().empty());
    AseText open(shape("*SHAPE_VERTEXCOUNT 4" + knots));
    ASSERT_TRUE(ParseDocument(open.reader));
    EXPECT_EQ(linePoints(open.node(0)), (Ints{0, 1, 2, 3}));
    AseText closedLate(shape("*SHAPE_VERTEXCOUNT 4" + knots + "*SHAPE_CLOSED"));
    ASSERT_TRUE(ParseDocument(closedLate.reader));
    EXPECT_EQ(linePoints(closedLate.node(0)), (Ints{0, 1, 2, 0})) << "the last entry is overwritten";
    // The text is long enough to hold the points it declares.
    AseText widest(shape("*SHAPE_CLOSED *SHAPE_VERTEXCOUNT 65534") + std::string(8 * 65536, ' '));
    ASSERT_TRUE(ParseDocument(widest.reader));
    EXPECT_EQ(widest.node(0).lines[0].pointCount, 65535);
}

TEST(Geometry, ShapesThatFailStillStoreThePointsTheirLinesHold) {
    // The lines' indices were checked against the points read; a failure
    // in the line or later in the block must not take them away.
    const std::string two = "*SHAPE_VERTEXCOUNT 2 *SHAPE_VERTEX_KNOT 0 0 0 0 ";
    struct Case {
        std::string text;
        std::size_t pointsStored;
    };
    for (const Case& c : {
             Case{shape(two + "*SHAPE_VERTEXCOUNT 1"), 1},
             Case{shape(two + "*SHAPE_VERTEX_KNOT 2 0 0 0"), 1},
             Case{shape(two + "*SHAPE_VERTEX_KNOT -1 0 0 0"), 1},
             Case{shape("*SHAPE_VERTEX_KNOT 0 0 0 0"), 0},  // before the count
             Case{shape("*SHAPE_VERTEXCOUNT 65536"), 0},
             Case{shape("*SHAPE_CLOSED *SHAPE_VERTEXCOUNT 65535"), 0},
             Case{"*SHAPEOBJECT { *SHAPE_LINECOUNT 1 *SHAPE_LINE 1 { } }", 0},  // outside the line count
             Case{"*SHAPEOBJECT { *SHAPE_LINECOUNT 1 *SHAPE_LINE 0 {" + two + "} *NODE_TM 5 }", 1},
             Case{"*SHAPEOBJECT { *SHAPE_LINECOUNT 1 *SHAPE_LINE 0 {" + two + "} *HELPEROBJECT { *NODE_NAME", 1},
             Case{"*SHAPEOBJECT { *SHAPE_LINECOUNT 1 *SHAPE_LINE 0 {" + two + "} *TM_ANIMATION x", 1},
         }) {
        AseText input(c.text + " *3DSMAX_ASCIIEXPORT 200");
        EXPECT_FALSE(ParseDocument(input.reader)) << c.text;
        EXPECT_EQ(input.app.outstandingHelpers(), 0) << "the point list is released: " << c.text;
        EXPECT_EQ(input.traceWith("StorePoints").size(), 1u) << c.text;
        EXPECT_EQ(input.node(0).vertices.size(), c.pointsStored) << c.text;
    }
}
