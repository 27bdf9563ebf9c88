// Host matrices taken apart into glTF's translation, rotation and scale, and
// the rotation keys' quaternions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "transforms.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

// The row-vector matrix of a translation, rotation and scale: rows are the
// scaled images of the axes.
HostMatrix compose(const gltf::Trs& t) {
    const auto& q = t.rotation;
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                            {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                            {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    HostMatrix m{};
    for (int axis = 0; axis < 3; ++axis) {
        for (int c = 0; c < 3; ++c) m.m[axis][c] = r[c][axis] * t.scale[static_cast<std::size_t>(axis)];
    }
    for (int c = 0; c < 3; ++c) m.m[3][c] = t.translation[static_cast<std::size_t>(c)];
    m.m[3][3] = 1;
    return m;
}

HostMatrix fromRows(std::initializer_list<double> values) {
    HostMatrix m{};
    const double* v = values.begin();
    for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = v[i];
    return m;
}

void expectSameMatrix(const HostMatrix& a, const HostMatrix& b, double tolerance = 1e-9) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], tolerance) << i << "," << j;
    }
}

double norm(const gltf::Quat& q) {
    return std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
}

}  // namespace

TEST(GltfTransforms, MatricesComeApartAndGoBackTogether) {
    const HostMatrix cases[] = {
        // A turn with scales of exactly one and tiny off-axis values, as a
        // sample file has it: it once drove a comparator sort out of bounds
        // under x87 excess precision.
        fromRows({-1e-08, -1.0, 0.0, 0.0, 1e-08, -0.0, 1.0, 0.0, 1.0, -1e-08, -1e-08, 0.0, 51.63587952, -145.54988098,
                  -30.26277733, 1.0}),
        // Turned by 30 degrees about Z, scaled 2, 3, 4, moved.
        fromRows({2 * std::cos(Pi / 6), 2 * std::sin(Pi / 6), 0, 0, -3 * std::sin(Pi / 6), 3 * std::cos(Pi / 6), 0, 0,
                  0, 0, 4, 0, 1, 2, 3, 1}),
        // A mirror in X.
        fromRows({-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
        // One axis collapsed.
        fromRows({0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 1}),
    };
    for (const HostMatrix& m : cases) {
        gltf::Trs t;
        EXPECT_EQ(gltf::decompose(m, t), gltf::Decomposition::Exact);
        EXPECT_NEAR(norm(t.rotation), 1, 1e-12);
        expectSameMatrix(compose(t), m);
    }
    gltf::Trs mirror;
    gltf::decompose(cases[2], mirror);
    EXPECT_LT(mirror.scale[0], 0) << "a mirror is a negative scale";
}

TEST(GltfTransforms, ShearAndNonFiniteValuesAreReported) {
    gltf::Trs t;
    EXPECT_EQ(gltf::decompose(fromRows({1, 0, 0, 0, 0.5, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}), t),
              gltf::Decomposition::Sheared);
    EXPECT_NEAR(norm(t.rotation), 1, 1e-12);
    HostMatrix bad = fromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 0, 0, 1});
    bad.m[1][1] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(gltf::decompose(bad, t), gltf::Decomposition::NotFinite);
    expectSameMatrix(compose(t), fromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST(GltfTransforms, KeyAnglesTurnClockwise) {
    // A positive quarter turn about Z takes X to -Y, as the host's matrices
    // of MAX rotations do.
    const float key[4] = {0, 0, 2, static_cast<float>(Pi / 2)};
    const gltf::Quat q = gltf::keyRotation(key);
    gltf::Trs t;
    t.rotation = q;
    const HostMatrix m = compose(t);
    EXPECT_NEAR(m.m[0][0], 0, 1e-6);
    EXPECT_NEAR(m.m[0][1], -1, 1e-6);
    EXPECT_NEAR(gltf::angleOf(q), Pi / 2, 1e-6);
    const gltf::Quat half = gltf::partOf(q, 0.5);
    EXPECT_NEAR(gltf::angleOf(gltf::multiply(half, half)), Pi / 2, 1e-6);
    const float none[4] = {0, 0, 0, 1};
    EXPECT_EQ(gltf::keyRotation(none), (gltf::Quat{0, 0, 0, 1})) << "no axis, no turn";
}
