// Objects made from parameters in the newer parameter block: the host's
// primitives, and the Plane, which the importer builds as a grid itself.
#include <gtest/gtest.h>

#include <cmath>

#include "support/max_import.h"
#include "support/max_writer.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

constexpr uint16_t Float = 0, Int = 1, Switch = 4, World = 7;

const refhost::NodeData& nodeNamed(const MaxImport& import, const std::string& name) {
    const refhost::NodeData* n = import.node(name);
    if (!n) ADD_FAILURE() << "no node " << name;
    static const refhost::NodeData none;
    return n ? *n : none;
}

int plane(MaxWriter& w, std::vector<Chunk> records) {
    return w.controller("Plane", PlaneClass, {w.paramBlock2(std::move(records))});
}

}  // namespace

TEST(MaxParametric, NewerBlocksGivePrimitivesTheirParameters) {
    MaxWriter w;
    const int block = w.paramBlock2({
        block2Float(0, World, 10), block2Float(1, World, 20, 0x000E),  // the older files' record
        block2Float(2, Float, 30), block2Int(3, Int, 2), block2Int(4, Int, 3, 0x000E), block2Int(5, Int, 4),
        block2Int(6, Switch, 1), block2Animated(7, World),  // its value is in a controller
        block2Int(70, Int, 9),                              // beyond the parameters read
        block2Float(8, 3, 1.0f),                            // a type whose value is not 4 bytes
    });
    w.node("Box", -1, {w.primitive(BoxClass, {block})});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("block2.max", w.build())), 1);

    const refhost::NodeData& box = nodeNamed(import, "Box");
    ASSERT_EQ(box.kind, refhost::NodeKind::Primitive);
    const refhost::ParamValues& p = box.parameters;
    ASSERT_EQ(p.size(), 7u);
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(p.at(i).type, refhost::ParamValue::Type::Float) << i;
        EXPECT_EQ(p.at(i).floatValue, 10.0f * static_cast<float>(i + 1)) << i;
    }
    for (int32_t i = 3; i < 7; ++i) {
        ASSERT_EQ(p.at(i).type, refhost::ParamValue::Type::Int) << i;
        EXPECT_EQ(p.at(i).intValue, i < 6 ? i - 1 : 1) << i;
    }
    EXPECT_FALSE(box.vertices.empty()) << "the host builds the box";
}

TEST(MaxParametric, PlaneIsAGridOfItsLengthWidthAndSegments) {
    MaxWriter w;
    w.node(
        "Grid", -1,
        {plane(w, {block2Float(0, World, 4), block2Float(1, World, 6), block2Int(3, Int, 3), block2Int(2, Int, 2)})});
    w.node("Single", -1, {plane(w, {block2Float(0, World, 1), block2Float(1, World, 1)})});
    w.node("Huge", -1,
           {plane(w, {block2Float(0, World, 1), block2Float(1, World, 1), block2Int(2, Int, 100000),
                      block2Int(3, Int, 100000)})});
    w.node("Stacked", -1, {w.derived({plane(w, {block2Float(0, World, 2), block2Float(1, World, 2)})})});
    w.node("NoBlock", -1, {w.controller("Plane", PlaneClass, {})});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("plane.max", w.build())), 1);

    const refhost::NodeData& grid = nodeNamed(import, "Grid");
    ASSERT_EQ(grid.vertices.size(), 12u) << "3 x 4 rows along Y of 4 along X";
    EXPECT_EQ(grid.vertices[0].x, -3.0f);
    EXPECT_EQ(grid.vertices[0].y, -2.0f);
    EXPECT_EQ(grid.vertices[3].x, 3.0f);
    EXPECT_EQ(grid.vertices[4].y, 0.0f);
    EXPECT_EQ(grid.vertices[11].x, 3.0f);
    EXPECT_EQ(grid.vertices[11].y, 2.0f);
    ASSERT_EQ(grid.faces.size(), 12u);
    double area = 0;
    for (const HostFace& face : grid.faces) {
        const int a = face.a, b = face.b, c = face.c, flags = face.flags;
        const Point3 pa = grid.vertices.at(a), pb = grid.vertices.at(b), pc = grid.vertices.at(c);
        const double twice = (pb.x - pa.x) * (pc.y - pa.y) - (pc.x - pa.x) * (pb.y - pa.y);
        EXPECT_GT(twice, 0) << "counter-clockwise seen from +Z";
        area += twice / 2;
        EXPECT_EQ(flags, FaceEdgeAB | FaceEdgeCA) << "the cell's diagonal BC is hidden";
        EXPECT_TRUE(pb.x != pc.x && pb.y != pc.y) << "BC crosses the cell";
    }
    EXPECT_NEAR(area, 24.0, 1e-5);

    EXPECT_EQ(nodeNamed(import, "Single").vertices.size(), 4u) << "one segment each way without counts";
    EXPECT_EQ(nodeNamed(import, "Single").faces.size(), 2u);
    EXPECT_EQ(nodeNamed(import, "Huge").vertices.size(), 201u * 201u) << "segments bounded";
    EXPECT_EQ(nodeNamed(import, "Stacked").vertices.size(), 4u) << "the base of a derived object";
    EXPECT_TRUE(nodeNamed(import, "NoBlock").vertices.empty());
}
