// The reference host's matrix operations, through their host slots, against
// worked examples in the row-vector convention (p' = p * M).
#include <gtest/gtest.h>

#include <cmath>

#include "host/app.h"

namespace {

HostMatrix identityOf(HostApp& app) {
    HostMatrix m;
    app.MatrixIdentity(&m);
    return m;
}

Point3 apply(HostApp& app, const HostMatrix& m, Point3 p) {
    Point3 out;
    app.TransformPoints(&m, &p, &out, 1);
    return out;
}

void expectPoint(const Point3& p, float x, float y, float z) {
    EXPECT_NEAR(p.x, x, 1e-5);
    EXPECT_NEAR(p.y, y, 1e-5);
    EXPECT_NEAR(p.z, z, 1e-5);
}

void expectMatrixNear(const HostMatrix& a, const HostMatrix& b) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], 1e-9) << i << "," << j;
    }
}

class Matrices : public ::testing::Test {
 protected:
    refhost::App host;
    HostApp& app = host;
};

}  // namespace

TEST_F(Matrices, MultiplyIsAThenB) {
    HostMatrix t = identityOf(app), s = identityOf(app), out;
    const Point3 offset{1, 2, 3}, factor{2, 2, 2};
    app.MatrixTranslate(&t, &offset);
    app.MatrixScale(&s, &factor);
    app.MatrixMultiply(&t, &s, &out);  // translate, then scale
    expectPoint(apply(app, out, {0, 0, 0}), 2, 4, 6);
    app.MatrixMultiply(&s, &t, &out);  // scale, then translate
    expectPoint(apply(app, out, {0, 0, 0}), 1, 2, 3);
    expectPoint(apply(app, out, {1, 1, 1}), 3, 4, 5);
}

TEST_F(Matrices, QuaternionFollowsTheMaxConvention) {
    // (0, 0, sin 45, cos 45): its matrix has the rows of the textbook
    // column-vector rotation, so as a row-vector matrix it turns +X to -Y.
    const float s = std::sqrt(0.5f);
    const float q[4] = {0, 0, s, s};
    HostMatrix r;
    app.MatrixFromQuat(&r, q);
    expectPoint(apply(app, r, {1, 0, 0}), 0, -1, 0);
    expectPoint(apply(app, r, {0, 1, 0}), 1, 0, 0);
    expectPoint(apply(app, r, {0, 0, 1}), 0, 0, 1);
    EXPECT_EQ(r.m[3][3], 1);
    EXPECT_EQ(r.m[3][0], 0);

    const float identity[4] = {0, 0, 0, 1};
    app.MatrixFromQuat(&r, identity);
    expectMatrixNear(r, identityOf(app));
}

TEST_F(Matrices, InvertAndRelative) {
    HostMatrix local = identityOf(app), parent = identityOf(app), world;
    const Point3 a{1, 2, 3}, b{2, 4, 8}, c{-7, 0, 1};
    app.MatrixScale(&local, &b);
    app.MatrixTranslate(&local, &a);
    app.MatrixScale(&parent, &a);
    app.MatrixTranslate(&parent, &c);
    app.MatrixMultiply(&local, &parent, &world);

    HostMatrix relative;
    EXPECT_EQ(app.RelativeMatrix(&world, &relative, &parent), 1);
    expectMatrixNear(relative, local);

    HostMatrix inverse = world, product;
    EXPECT_EQ(app.MatrixInvert(&inverse), 1);
    app.MatrixMultiply(&world, &inverse, &product);
    expectMatrixNear(product, identityOf(app));
}

TEST_F(Matrices, SingularMatrixIsLeftAlone) {
    HostMatrix m = identityOf(app);
    const Point3 flat{1, 0, 1};
    app.MatrixScale(&m, &flat);
    const HostMatrix before = m;
    EXPECT_EQ(app.MatrixInvert(&m), 0);
    expectMatrixNear(m, before);
}

TEST_F(Matrices, MultiplyAndTransformMayWriteOverTheirInput) {
    HostMatrix a = identityOf(app), b = identityOf(app);
    const Point3 offset{1, 0, 0}, factor{3, 3, 3};
    app.MatrixTranslate(&a, &offset);
    app.MatrixScale(&b, &factor);
    app.MatrixMultiply(&a, &b, &a);
    expectPoint(apply(app, a, {0, 0, 0}), 3, 0, 0);
    Point3 points[2] = {{0, 0, 0}, {1, 2, 3}};
    app.TransformPoints(&a, points, points, 2);
    expectPoint(points[0], 3, 0, 0);
    expectPoint(points[1], 6, 6, 9);
}
