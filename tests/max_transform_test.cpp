// Node transforms at time 0 and object offsets, in files made by the test
// writer and imported through MAXImport: every kind of controller, its keys,
// and the ones that cannot be evaluated.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/matrix.h"
#include "support/imported_max.h"
#include "support/max_writer.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

constexpr float Pi = 3.14159265358979f;
const float Half = std::sqrt(0.5f);
constexpr int32_t Frame = 160;  // ticks

void expectMatrixNear(const HostMatrix& actual, const HostMatrix& expected, const std::string& what) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], 1e-5) << what << " [" << r << "][" << c << "]";
        }
    }
}

void expectPointNear(const Point3& actual, const Point3& expected, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-5) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-5) << what;
}

Point3 translationOf(const refhost::NodeData& node) {
    const HostMatrix m = node.transform();
    return {static_cast<float>(m.m[3][0]), static_cast<float>(m.m[3][1]), static_cast<float>(m.m[3][2])};
}

Point3 apply(const refhost::NodeData& node, const Point3& p) {
    return refhost::matrix::transformPoint(node.transform(), p);
}

int bezierPosition(MaxWriter& w, Point3 value, std::vector<Chunk> tables = {}) {
    tables.insert(tables.begin(), Chunk::floats(0x2503, {value.x, value.y, value.z}));
    return w.controller("Bezier Position", PositionClass, {}, std::move(tables));
}

int prsNode(MaxWriter& w, const std::string& name, std::vector<int32_t> controllers, int32_t parent = -1) {
    return w.node(name, parent, {w.transform(std::move(controllers))});
}

struct Imported : ImportedMax {
    int count(int32_t level, const std::string& text) const {
        const std::vector<std::string> shown = import.messages(level);
        return static_cast<int>(std::count(shown.begin(), shown.end(), text));
    }
};

}  // namespace

TEST(MaxTransforms, PositionKeysGiveTheValueAtTimeZero) {
    MaxWriter w;
    const Point3 stale{9, 9, 9};  // where the time slider was when the file was saved
    auto keys = [&](uint16_t table, uint32_t size, std::vector<Key> k) {
        return bezierPosition(w, stale, {keyTable(table, size, k)});
    };
    prsNode(w, "AllAfter", {keys(0x2524, 56, {{Frame, {1, 2, 3}}, {2 * Frame, {4, 5, 6}}})});
    prsNode(w, "Straddling", {keys(0x2524, 56, {{-Frame, {0, 0, 0}}, {Frame, {2, 4, 6}}})});
    prsNode(w, "AllBefore", {keys(0x2524, 56, {{-2 * Frame, {7, 7, 7}}, {-Frame, {5, 6, 7}}})});
    prsNode(w, "OnZero", {keys(0x2524, 56, {{-Frame, {1, 1, 1}}, {0, {3, 3, 3}}, {Frame, {5, 5, 5}}})});
    prsNode(w, "OutOfOrder", {keys(0x2524, 56, {{2 * Frame, {4, 5, 6}}, {Frame, {1, 2, 3}}})});
    prsNode(w, "SecondTable", {keys(0x2526, 80, {{Frame, {1, 2, 3}}})});
    prsNode(w, "Tcb",
            {w.controller("TCB Position", TcbPositionClass, {},
                          {Chunk::floats(0x2503, {9, 9, 9}), keyTable(0x2521, 64, {{Frame, {1, 2, 3}}})})});
    // A table whose size is no multiple of its records is not read: the static value stays.
    prsNode(w, "Ragged", {bezierPosition(w, stale, {Chunk::data(0x2524, Bytes(55, 0))})});
    prsNode(w, "Static", {bezierPosition(w, stale)});
    // A controller has one value: a second value chunk replaces the first, it does not move the node again.
    prsNode(w, "TwoValues", {bezierPosition(w, stale, {Chunk::floats(0x2503, {1, 2, 3})})});
    Imported i;
    run(i, w, "position_keys.max");

    expectPointNear(translationOf(i.node("AllAfter")), {1, 2, 3}, "the first key when every key follows 0");
    expectPointNear(translationOf(i.node("Straddling")), {1, 2, 3}, "between keys on either side of 0");
    expectPointNear(translationOf(i.node("AllBefore")), {5, 6, 7}, "the last key when every key precedes 0");
    expectPointNear(translationOf(i.node("OnZero")), {3, 3, 3}, "the key at 0");
    expectPointNear(translationOf(i.node("OutOfOrder")), {1, 2, 3}, "keys in any order");
    expectPointNear(translationOf(i.node("SecondTable")), {1, 2, 3}, "the 80-byte table");
    expectPointNear(translationOf(i.node("Tcb")), {1, 2, 3}, "TCB keys");
    expectPointNear(translationOf(i.node("Ragged")), stale, "a table of another layout");
    expectPointNear(translationOf(i.node("Static")), stale, "no keys");
    expectPointNear(translationOf(i.node("TwoValues")), {1, 2, 3}, "the last value chunk");
}

TEST(MaxTransforms, RotationAndScaleKeysAtTimeZero) {
    MaxWriter w;
    const float quarter[4] = {0, 0, Half, Half};  // 90 degrees about Z
    auto tcbRotation = [&](std::vector<Key> k) {
        return w.controller("TCB Rotation", TcbRotationClass, {},
                            {Chunk::floats(0x2504, {1, 0, 0, 0}), keyTable(0x2522, 92, k)});
    };
    prsNode(w, "FirstKey", {tcbRotation({{Frame, {0, 0, Half, Half}}, {2 * Frame, {0, 0, 0, 1}}})});
    prsNode(w, "Halfway", {tcbRotation({{-Frame, {0, 0, 0, 1}}, {Frame, {0, 0, Half, Half}}})});
    // The same turn written with the opposite sign: the shorter arc is taken.
    prsNode(w, "OtherSign", {tcbRotation({{-Frame, {0, 0, 0, 1}}, {Frame, {0, 0, -Half, -Half}}})});
    const int scaleKeys = w.controller(
        "Bezier Scale", ScaleClass, {},
        {Chunk::floats(0x2505, {5, 5, 5, 0, 0, 0, 1}), keyTable(0x2519, 92, {{Frame, {2, 3, 4, 0, 0, 0, 1}}})});
    prsNode(w, "Scaled", {scaleKeys});
    Imported i;
    run(i, w, "rotation_keys.max");

    expectMatrixNear(i.node("FirstKey").transform(), refhost::matrix::fromQuaternion(quarter), "first key");
    const float eighth[4] = {0, 0, std::sin(Pi / 8), std::cos(Pi / 8)};
    expectMatrixNear(i.node("Halfway").transform(), refhost::matrix::fromQuaternion(eighth), "halfway");
    expectMatrixNear(i.node("OtherSign").transform(), refhost::matrix::fromQuaternion(eighth), "shorter arc");
    expectMatrixNear(i.node("Scaled").transform(), refhost::matrix::scaling({2, 3, 4}), "scale key");
}

TEST(MaxTransforms, XyzControllersReadTheirFloatTracks) {
    MaxWriter w;
    // X direct, Y inside the newer container, Z keyed with a stale static value.
    const int x = w.bezierFloat(1);
    const int y = w.bezierFloat(2, {}, true);
    const int z = w.bezierFloat(99, {{Frame, {3}}, {2 * Frame, {6}}}, true);
    const int xyz = w.controller("Position XYZ", PositionXyzClass, {x, y, z});
    const int euler =
        w.controller("Euler XYZ", EulerXyzClass, {w.bezierFloat(Pi / 2), w.bezierFloat(0), w.bezierFloat(Pi / 2)},
                     {Chunk::int32s(0x1003, {0})});
    const int scale = w.controller("ScaleXYZ", ScaleXyzClass, {w.bezierFloat(2), w.bezierFloat(3), w.bezierFloat(4)});
    prsNode(w, "Moved", {xyz});
    prsNode(w, "Turned", {euler});
    prsNode(w, "Scaled", {scale});
    prsNode(w, "All", {xyz, euler, scale});
    Imported i;
    run(i, w, "xyz.max");

    expectPointNear(translationOf(i.node("Moved")), {1, 2, 3}, "Position XYZ");
    // X applied first, each axis the ordinary right-handed turn: +Y goes to
    // +Z under X and stays there under Z; +X stays under X and goes to +Y
    // under Z. Z first would take +Y to -X.
    expectPointNear(apply(i.node("Turned"), {0, 1, 0}), {0, 0, 1}, "Euler XYZ on +Y");
    expectPointNear(apply(i.node("Turned"), {1, 0, 0}), {0, 1, 0}, "Euler XYZ on +X");
    expectMatrixNear(i.node("Scaled").transform(), refhost::matrix::scaling({2, 3, 4}), "ScaleXYZ");
    // Scale, then rotation, then position.
    expectPointNear(apply(i.node("All"), {1, 0, 0}), {1, 4, 3}, "S R T on +X");
    expectPointNear(apply(i.node("All"), {0, 1, 0}), {1, 2, 6}, "S R T on +Y");
}

TEST(MaxTransforms, ScaleAxisTurnsTheScale) {
    MaxWriter w;
    // Twice as large along an axis turned 90 degrees about Z from X: along Y.
    const int scale =
        w.controller("Bezier Scale", ScaleClass, {}, {Chunk::floats(0x2505, {2, 1, 1, 0, 0, Half, Half})});
    prsNode(w, "Stretched", {scale});
    Imported i;
    run(i, w, "scale_axis.max");
    expectPointNear(apply(i.node("Stretched"), {1, 0, 0}), {1, 0, 0}, "across the axis");
    expectPointNear(apply(i.node("Stretched"), {0, 1, 0}), {0, 2, 0}, "along the axis");
    expectPointNear(apply(i.node("Stretched"), {0, 0, 1}), {0, 0, 1}, "across the axis");
}

TEST(MaxTransforms, ListsAddPositionsAndChainRotationsOfTheirCountedEntries) {
    MaxWriter w;
    const int a = bezierPosition(w, {1, 2, 3});
    const int b = bezierPosition(w, {10, 20, 30});
    const int beyond = bezierPosition(w, {100, 100, 100});  // past the list's count: its weights' block, say
    const int positions =
        w.controller("Position List", PositionListClass, {a, b, beyond}, {Chunk::int32s(0x1010, {2})});
    const int aboutZ = w.rotation(0, 0, Half, Half);
    const int aboutX = w.rotation(Half, 0, 0, Half);
    const int rotations =
        w.controller("Rotation List", RotationListClass, {aboutZ, aboutX, -1}, {Chunk::int32s(0x1010, {2})});
    const int empty = w.controller("Position List", PositionListClass, {-1, -1}, {Chunk::int32s(0x1010, {0})});
    prsNode(w, "Summed", {positions});
    prsNode(w, "Chained", {rotations});
    prsNode(w, "Empty", {empty});
    Imported i;
    run(i, w, "lists.max");

    expectPointNear(translationOf(i.node("Summed")), {11, 22, 33}, "the entries' sum, each at full weight");
    const float z[4] = {0, 0, Half, Half}, x[4] = {Half, 0, 0, Half};
    expectMatrixNear(i.node("Chained").transform(),
                     refhost::matrix::multiply(refhost::matrix::fromQuaternion(z), refhost::matrix::fromQuaternion(x)),
                     "the first entry's rotation, then the second's");
    expectMatrixNear(i.node("Empty").transform(), refhost::matrix::identity(), "no entries");
}

TEST(MaxTransforms, LookAtTurnsTheNodesZAxisAwayFromItsTarget) {
    MaxWriter w;
    const int target = prsNode(w, "Target", {bezierPosition(w, {0, 10, 0})});
    const int lookAt = w.controller("Look At", LookAtClass,
                                    {target, bezierPosition(w, {0, 0, 0}), w.bezierFloat(0), w.scale(1, 1, 1)});
    w.node("Camera", -1, {lookAt});
    // Under a moved parent, toward a target that is a child of another.
    const int parent = prsNode(w, "Parent", {bezierPosition(w, {5, 0, 0})});
    const int holder = prsNode(w, "Holder", {bezierPosition(w, {0, 0, 7})});
    const int deepTarget = prsNode(w, "DeepTarget", {bezierPosition(w, {5, 10, -7})}, holder);
    const int childLookAt =
        w.controller("Look At", LookAtClass, {deepTarget, bezierPosition(w, {0, 0, 0}), w.bezierFloat(0)});
    w.node("ChildCamera", parent, {childLookAt});
    const int rolled =
        w.controller("Look At", LookAtClass, {target, bezierPosition(w, {0, 0, 0}), w.bezierFloat(Pi / 2)});
    w.node("Rolled", -1, {rolled});
    Imported i;
    run(i, w, "look_at.max");

    // z = normalize(eye - target) = -Y; x = normalize(world Z x z) = +X; y = z x x = +Z.
    HostMatrix expected = refhost::matrix::identity();
    expected.m[1][1] = 0;
    expected.m[1][2] = 1;
    expected.m[2][1] = -1;
    expected.m[2][2] = 0;
    expectMatrixNear(i.node("Camera").transform(), expected, "root camera");
    expected.m[3][0] = 5;
    expectMatrixNear(i.node("ChildCamera").transform(), expected, "camera under a parent");

    // The roll turns x and y about z and leaves z and the place alone.
    const HostMatrix roll = i.node("Rolled").transform();
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(roll.m[2][c], expected.m[2][c], 1e-5) << "z row";
        EXPECT_NEAR(std::fabs(roll.m[0][c]), std::fabs(expected.m[1][c]), 1e-5) << "x row takes y's direction";
    }
}

TEST(MaxTransforms, UnevaluableControllersKeepTheirPoseAndAreNamedOnce) {
    MaxWriter w;
    const ClassId ik{0x0E6F5815u, 0x717F99A4u};
    const ClassId bipedSlave{0x9154, 0};
    const ClassId noise{0x5FB0, 0x2B2E};
    for (const char* name : {"ArmA", "ArmB"}) {
        const int pose = w.transform({bezierPosition(w, {1, 2, 3})});
        w.node(name, -1, {w.controller("IK Controller", ik, {-1, pose})});
    }
    for (const char* name : {"BoneA", "BoneB"}) w.node(name, -1, {w.controller("BipSlave Control", bipedSlave, {})});
    for (const char* name : {"ShakyA", "ShakyB"}) {
        prsNode(w, name, {w.controller("Noise Position", noise, {}), w.rotation(0, 0, Half, Half)});
    }
    Imported i;
    run(i, w, "unevaluable.max");

    expectPointNear(translationOf(i.node("ArmA")), {1, 2, 3}, "IK keeps its forward pose");
    expectPointNear(translationOf(i.node("ArmB")), {1, 2, 3}, "IK keeps its forward pose");
    expectMatrixNear(i.node("BoneA").transform(), refhost::matrix::identity(), "biped");
    const float z[4] = {0, 0, Half, Half};
    expectMatrixNear(i.node("ShakyB").transform(), refhost::matrix::fromQuaternion(z), "the rest is applied");
    EXPECT_EQ(i.count(MessageWarning, "IK Controller - unsupported"), 1);
    EXPECT_EQ(i.count(MessageWarning, "BipSlave Control - unsupported"), 1);
    EXPECT_EQ(i.count(MessageWarning, "Noise Position - unsupported"), 1);
}

TEST(MaxTransforms, ObjectOffsetPlacesVerticesInTheNodesSpace) {
    MaxWriter w;
    const std::vector<float> xAxis{1, 0, 0, 0, 1, 0, 0, 0, 0};
    auto offsets = [](Point3 position, std::vector<float> rotation, std::vector<float> scale) {
        Bytes r, s;
        for (float f : rotation) appendFloat(r, f);
        for (float f : scale) appendFloat(s, f);
        return std::vector<Chunk>{Chunk::floats(0x096A, {position.x, position.y, position.z}), Chunk::data(0x096B, r),
                                  Chunk::data(0x096C, s)};
    };
    const int moved = w.transform({bezierPosition(w, {100, 0, 0})});
    w.nodeWithChunks("Mesh", -1, {moved, w.mesh(xAxis, {{0, 1, 2, 7}})},
                     offsets({1, 2, 3}, {0, 0, Half, Half}, {2, 2, 2, 0, 0, 0, 1}));
    w.nodeWithChunks("Poly", -1, {w.poly({{1, 0, 0}, {0, 1, 0}, {0, 0, 0}}, {{{0, 1, 2}}})},
                     offsets({1, 2, 3}, {0, 0, Half, Half}, {2, 2, 2, 0, 0, 0, 1}));
    // Chunks too short for their values leave the identity in place.
    w.nodeWithChunks(
        "Short", -1, {w.mesh(xAxis, {{0, 1, 2, 7}})},
        {Chunk::floats(0x096A, {5, 5}), Chunk::floats(0x096B, {1, 0, 0}), Chunk::floats(0x096C, {3, 3, 3, 0, 0, 0})});
    Imported i;
    run(i, w, "offsets.max");

    // (1, 0, 0) scaled to (2, 0, 0), turned by MAX's 90 degrees about Z
    // (rows of the column-vector matrix) to (0, -2, 0), moved to (1, 0, 3).
    for (const char* name : {"Mesh", "Poly"}) {
        const refhost::NodeData& node = i.node(name);
        ASSERT_EQ(node.vertices.size(), 3u) << name;
        expectPointNear(node.vertices[0], {1, 0, 3}, name);
        expectPointNear(node.vertices[1], {3, 2, 3}, name);
    }
    expectPointNear(translationOf(i.node("Mesh")), {100, 0, 0}, "the node keeps its own transform");
    ASSERT_EQ(i.node("Short").vertices.size(), 3u);
    expectPointNear(i.node("Short").vertices[0], {1, 0, 0}, "short offsets are not read");
}
