// The meshes the reference host builds for parametric primitives, checked
// against geometric facts: counts per segment setting, bounds from the
// dimensions, closed surfaces facing out, and volumes.
#include "host/primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <map>
#include <utility>

#include "host/dump.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

using refhost::ParamValue;
using refhost::ParamValues;
using refhost::PrimitiveMesh;

// Parameters by index; whole numbers are given as integers, the rest as floats.
ParamValues params(std::initializer_list<std::pair<int32_t, double>> values) {
    ParamValues p;
    for (const auto& [index, v] : values) {
        if (v == std::floor(v) && std::fabs(v) < 1e6) {
            p[index] = ParamValue{ParamValue::Type::Int, static_cast<int32_t>(v), 0, {0, 0, 0}};
        } else {
            p[index] = ParamValue{ParamValue::Type::Float, 0, static_cast<float>(v), {0, 0, 0}};
        }
    }
    return p;
}

ParamValues floats(std::initializer_list<std::pair<int32_t, double>> values) {
    ParamValues p;
    for (const auto& [index, v] : values) {
        p[index] = ParamValue{ParamValue::Type::Float, 0, static_cast<float>(v), {0, 0, 0}};
    }
    return p;
}

struct Bounds {
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
};

Bounds boundsOf(const PrimitiveMesh& m) {
    Bounds b;
    for (const Point3& p : m.vertices) {
        const double c[3] = {p.x, p.y, p.z};
        for (int a = 0; a < 3; ++a) {
            b.lo[a] = std::min(b.lo[a], c[a]);
            b.hi[a] = std::max(b.hi[a], c[a]);
        }
    }
    return b;
}

void expectBounds(const PrimitiveMesh& m, std::initializer_list<double> expected, double tolerance = 1e-4) {
    const Bounds b = boundsOf(m);
    const double* e = expected.begin();
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(b.lo[a], e[2 * a], tolerance) << "axis " << a;
        EXPECT_NEAR(b.hi[a], e[2 * a + 1], tolerance) << "axis " << a;
    }
}

// Closed and consistently turned: every edge is walked once each way.
::testing::AssertionResult isClosed(const PrimitiveMesh& m) {
    std::map<std::pair<int, int>, int> edges;
    for (const HostFace& f : m.faces) {
        const int v[3] = {f.a, f.b, f.c};
        for (int k = 0; k < 3; ++k) {
            if (v[k] < 0 || v[k] >= static_cast<int>(m.vertices.size())) {
                return ::testing::AssertionFailure() << "vertex index " << v[k] << " out of range";
            }
            ++edges[{v[k], v[(k + 1) % 3]}];
        }
    }
    for (const auto& [edge, count] : edges) {
        const auto back = edges.find({edge.second, edge.first});
        if (count != 1 || back == edges.end() || back->second != 1) {
            return ::testing::AssertionFailure()
                   << "edge " << edge.first << "-" << edge.second << " is walked " << count << " times, back "
                   << (back == edges.end() ? 0 : back->second);
        }
    }
    if (m.faces.empty()) return ::testing::AssertionFailure() << "no faces";
    return ::testing::AssertionSuccess();
}

// Positive for a closed surface whose faces face out.
double volume(const PrimitiveMesh& m) {
    double v = 0;
    for (const HostFace& f : m.faces) {
        const Point3& a = m.vertices[static_cast<std::size_t>(f.a)];
        const Point3& b = m.vertices[static_cast<std::size_t>(f.b)];
        const Point3& c = m.vertices[static_cast<std::size_t>(f.c)];
        v += (double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
              double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
              double(a.z) * (double(b.x) * c.y - double(b.y) * c.x)) /
             6;
    }
    return v;
}

// The area of a regular n-gon of circumradius r.
double polygonArea(int n, double r) {
    return n / 2.0 * r * r * std::sin(2 * Pi / n);
}

void expectTextureCoordinates(const PrimitiveMesh& m) {
    ASSERT_FALSE(m.texVertices.empty());
    for (const HostFace& f : m.faces) {
        for (int32_t t : {f.ta, f.tb, f.tc}) {
            ASSERT_GE(t, 0);
            ASSERT_LT(t, static_cast<int32_t>(m.texVertices.size()));
        }
    }
    for (const HostTexVertex& t : m.texVertices) {
        EXPECT_GE(t.u, -1e-6f);
        EXPECT_LE(t.u, 1 + 1e-6f);
        EXPECT_GE(t.v, -1e-6f);
        EXPECT_LE(t.v, 1 + 1e-6f);
    }
}

}  // namespace

TEST(Primitives, BoxHasItsSegmentsAndDimensions) {
    // length (Y) 10, width (X) 20, height 30; width, length, height segments 2, 3, 4.
    const PrimitiveMesh m =
        refhost::buildPrimitive(PrimitiveBox, params({{0, 10}, {1, 20}, {2, 30}, {3, 2}, {4, 3}, {5, 4}, {6, 1}}));
    EXPECT_EQ(m.vertices.size(), 2u * 3 * 4 + 3u * 2 * (2 + 3));
    EXPECT_EQ(m.faces.size(), 4u * (2 * 3 + 2 * 4 + 3 * 4));
    EXPECT_FALSE(m.placeholder);
    expectBounds(m, {-10, 10, -5, 5, 0, 30});
    EXPECT_TRUE(isClosed(m));
    EXPECT_NEAR(volume(m), 6000, 1e-2);
    expectTextureCoordinates(m);
    // Each side is its own smoothing group: six groups, 2 x segments faces each.
    std::map<uint32_t, int> groups;
    for (uint32_t g : m.smoothing) ++groups[g];
    EXPECT_EQ(groups.size(), 6u);
    EXPECT_EQ(groups[4], 2 * 2 * 3) << "top: width by length segments";
}

TEST(Primitives, NegativeHeightBuildsDownwardsStillFacingOut) {
    const PrimitiveMesh box = refhost::buildPrimitive(PrimitiveBox, params({{0, 2}, {1, 2}, {2, -3}}));
    expectBounds(box, {-1, 1, -1, 1, -3, 0});
    EXPECT_TRUE(isClosed(box));
    EXPECT_NEAR(volume(box), 12, 1e-4);
    const PrimitiveMesh cylinder = refhost::buildPrimitive(PrimitiveCylinder, params({{0, 1}, {1, -2}, {4, 12}}));
    EXPECT_TRUE(isClosed(cylinder));
    EXPECT_GT(volume(cylinder), 0);
    expectBounds(cylinder, {-1, 1, -1, 1, -2, 0});
}

TEST(Primitives, SphereRingsFollowTheSegments) {
    const PrimitiveMesh m = refhost::buildPrimitive(PrimitiveSphere, params({{0, 5}, {1, 16}, {2, 1}, {6, 1}}));
    const int rows = 8;
    EXPECT_EQ(m.vertices.size(), (rows - 1) * 16u + 2);
    EXPECT_EQ(m.faces.size(), 2u * 16 * (rows - 1));
    expectBounds(m, {-5, 5, -5, 5, -5, 5});
    EXPECT_TRUE(isClosed(m));
    const double ball = 4.0 / 3 * Pi * 125;
    EXPECT_LT(volume(m), ball);
    EXPECT_GT(volume(m), 0.9 * ball);
    for (const Point3& p : m.vertices) EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 5, 1e-4);
    for (uint32_t g : m.smoothing) EXPECT_EQ(g, 1u) << "smooth all round";
    expectTextureCoordinates(m);

    const PrimitiveMesh faceted = refhost::buildPrimitive(PrimitiveSphere, params({{0, 5}, {1, 16}, {2, 0}}));
    for (uint32_t g : faceted.smoothing) EXPECT_EQ(g, 0u);
}

TEST(Primitives, HemisphereIsCutAndClosedByAFlatBase) {
    const PrimitiveMesh half = refhost::buildPrimitive(PrimitiveSphere, params({{0, 5}, {1, 16}, {3, 0.5}}));
    expectBounds(half, {-5, 5, -5, 5, 0, 5});
    EXPECT_TRUE(isClosed(half));
    EXPECT_NEAR(volume(half), volume(refhost::buildPrimitive(PrimitiveSphere, params({{0, 5}, {1, 16}}))) / 2, 1e-2);
    int base = 0;
    for (std::size_t i = 0; i < half.faces.size(); ++i) {
        const HostFace& f = half.faces[i];
        if (half.vertices[static_cast<std::size_t>(f.a)].z == 0 &&
            half.vertices[static_cast<std::size_t>(f.b)].z == 0 &&
            half.vertices[static_cast<std::size_t>(f.c)].z == 0) {
            ++base;
            EXPECT_EQ(half.smoothing[i], 2u) << "the base is a group of its own";
        }
    }
    EXPECT_EQ(base, 16);

    // A quarter cut away, then moved up onto its base.
    const PrimitiveMesh recentered =
        refhost::buildPrimitive(PrimitiveSphere, params({{0, 4}, {1, 12}, {3, 0.25}, {5, 1}}));
    const Bounds b = boundsOf(recentered);
    EXPECT_NEAR(b.lo[2], 0, 1e-5);
    EXPECT_NEAR(b.hi[2], 4 + 2, 1e-4);
    EXPECT_TRUE(isClosed(recentered));

    // Squashed, the rings keep their number.
    const PrimitiveMesh squashed =
        refhost::buildPrimitive(PrimitiveSphere, params({{0, 4}, {1, 12}, {3, 0.75}, {4, 1}}));
    const PrimitiveMesh chopped = refhost::buildPrimitive(PrimitiveSphere, params({{0, 4}, {1, 12}, {3, 0.75}}));
    EXPECT_GT(squashed.vertices.size(), chopped.vertices.size());
    EXPECT_TRUE(isClosed(squashed));
    EXPECT_TRUE(isClosed(chopped));
    EXPECT_NEAR(boundsOf(chopped).lo[2], 2, 1e-4);
}

TEST(Primitives, SlicesAreClosedAcrossTheCut) {
    // Sphere from 0 to 90 degrees: a quarter, closed by two half discs.
    const PrimitiveMesh quarter =
        refhost::buildPrimitive(PrimitiveSphere, params({{0, 5}, {1, 16}, {7, 1}, {8, 0}, {9, 90}}));
    EXPECT_TRUE(isClosed(quarter));
    expectBounds(quarter, {0, 5, 0, 5, -5, 5});
    const double full = volume(refhost::buildPrimitive(PrimitiveSphere, params({{0, 5}, {1, 64}})));
    const PrimitiveMesh fine =
        refhost::buildPrimitive(PrimitiveSphere, params({{0, 5}, {1, 64}, {7, 1}, {8, 0}, {9, 90}}));
    EXPECT_NEAR(volume(fine), full / 4, full * 0.01);

    for (int32_t kind : {PrimitiveCylinder, PrimitiveCone, PrimitiveTube, PrimitiveTorus}) {
        ParamValues p = kind == PrimitiveCylinder ? params({{0, 3}, {1, 5}, {6, 1}, {7, -45}, {8, 200}})
                        : kind == PrimitiveTorus  ? params({{0, 6}, {1, 2}, {7, 1}, {8, 30}, {9, 300}})
                                                  : params({{0, 3}, {1, 1}, {2, 5}, {7, 1}, {8, 30}, {9, 300}});
        const PrimitiveMesh m = refhost::buildPrimitive(kind, p);
        EXPECT_TRUE(isClosed(m)) << refhost::primitiveName(kind);
        EXPECT_GT(volume(m), 0) << refhost::primitiveName(kind);
    }
}

TEST(Primitives, CylinderIsAPrismOfItsSides) {
    // radius 2, height 10, 3 height segments, 2 cap segments, 8 sides.
    const PrimitiveMesh m =
        refhost::buildPrimitive(PrimitiveCylinder, params({{0, 2}, {1, 10}, {2, 3}, {3, 2}, {4, 8}}));
    // Rings: 1 inside the top cap, 4 down the wall (rims included), 1 inside the bottom cap.
    EXPECT_EQ(m.vertices.size(), 6u * 8 + 2);
    EXPECT_EQ(m.faces.size(), 8u * (2 + 2 * 5));
    EXPECT_TRUE(isClosed(m));
    EXPECT_NEAR(volume(m), polygonArea(8, 2) * 10, 1e-3);
    expectBounds(m, {-2, 2, -2, 2, 0, 10}, 1e-5);
    // A block of an old file: five parameters. Smooth is on by default, the
    // rest off.
    for (uint32_t g : m.smoothing) EXPECT_NE(g, 0u);
    EXPECT_TRUE(m.texVertices.empty());
}

TEST(Primitives, ConeAndTubeFollowTheirRadii) {
    const PrimitiveMesh pointed = refhost::buildPrimitive(PrimitiveCone, params({{0, 3}, {1, 0}, {2, 6}, {5, 10}}));
    EXPECT_TRUE(isClosed(pointed));
    const double reach = 3 * std::sin(2 * Pi * 2 / 10);  // sides at multiples of 36 degrees
    expectBounds(pointed, {-3, 3, -reach, reach, 0, 6});
    EXPECT_NEAR(volume(pointed), polygonArea(10, 3) * 6 / 3, 1e-3);

    const PrimitiveMesh frustum =
        refhost::buildPrimitive(PrimitiveCone, params({{0, 1}, {1, 2}, {2, 3}, {5, 16}, {10, 1}}));
    EXPECT_TRUE(isClosed(frustum));
    const double a1 = polygonArea(16, 1), a2 = polygonArea(16, 2);
    EXPECT_NEAR(volume(frustum), 3.0 / 3 * (a1 + a2 + std::sqrt(a1 * a2)), 1e-3);
    expectTextureCoordinates(frustum);

    // The larger radius is the outside, whichever comes first.
    const PrimitiveMesh tube = refhost::buildPrimitive(PrimitiveTube, params({{0, 2}, {1, 5}, {2, 4}, {5, 12}}));
    EXPECT_TRUE(isClosed(tube));
    EXPECT_NEAR(volume(tube), (polygonArea(12, 5) - polygonArea(12, 2)) * 4, 1e-3);
    expectBounds(tube, {-5, 5, -5 * std::sin(Pi / 2), 5, 0, 4});
}

TEST(Primitives, TorusRingAndSection) {
    const PrimitiveMesh m =
        refhost::buildPrimitive(PrimitiveTorus, params({{0, 10}, {1, 2}, {4, 12}, {5, 6}, {10, 1}}));
    EXPECT_EQ(m.vertices.size(), 72u);
    EXPECT_EQ(m.faces.size(), 144u);
    EXPECT_TRUE(isClosed(m));
    expectBounds(m, {-12, 12, -12 * std::sin(Pi / 2), 12, -2 * std::sin(Pi / 3), 2 * std::sin(Pi / 3)});
    // Pappus: the section's area times the path of its centre, which the
    // ring's polygon cuts a little short.
    const double pappus = polygonArea(6, 2) * 2 * Pi * 10;
    EXPECT_LT(volume(m), pappus);
    EXPECT_GT(volume(m), 0.95 * pappus);
    const PrimitiveMesh fine = refhost::buildPrimitive(PrimitiveTorus, params({{0, 10}, {1, 2}, {4, 200}, {5, 6}}));
    EXPECT_NEAR(volume(fine), pappus, pappus * 1e-3);
    expectTextureCoordinates(m);

    // A twist keeps the surface closed; the smoothing modes band it.
    const PrimitiveMesh twisted =
        refhost::buildPrimitive(PrimitiveTorus, params({{0, 10}, {1, 2}, {2, 15}, {3, 90}, {4, 9}, {5, 5}, {6, 1}}));
    EXPECT_TRUE(isClosed(twisted));
    std::map<uint32_t, int> groups;
    for (uint32_t g : twisted.smoothing) ++groups[g];
    EXPECT_EQ(groups.size(), 3u) << "alternating bands, a third where an odd count closes the ring";
    const PrimitiveMesh none = refhost::buildPrimitive(PrimitiveTorus, params({{0, 10}, {1, 2}, {6, 0}}));
    for (uint32_t g : none.smoothing) EXPECT_EQ(g, 0u);
}

TEST(Primitives, PyramidRisesToItsApex) {
    const PrimitiveMesh m =
        refhost::buildPrimitive(PrimitivePyramid, params({{0, 4}, {1, 6}, {2, 3}, {3, 2}, {4, 3}, {5, 2}, {6, 1}}));
    EXPECT_TRUE(isClosed(m));
    EXPECT_NEAR(volume(m), 4 * 6 * 3 / 3.0, 1e-4);
    expectBounds(m, {-2, 2, -3, 3, 0, 3});
    // Base 2 x 3 cells; sides 2 rows each, the top row meeting in the apex.
    EXPECT_EQ(m.faces.size(), 2u * 6 + 2 * (2 * 2 + 2 * 3) + 1 * (2 + 2 + 3 + 3));
    expectTextureCoordinates(m);
}

TEST(Primitives, GeoSphereSubdividesItsBaseSolid) {
    struct Case {
        int base, faces;
    } cases[] = {{0, 4}, {1, 8}, {2, 20}};
    for (const Case& c : cases) {
        const PrimitiveMesh m = refhost::buildPrimitive(PrimitiveGeoSphere, params({{0, 5}, {1, 3}, {2, c.base}}));
        EXPECT_EQ(m.faces.size(), static_cast<std::size_t>(c.faces * 9)) << c.base;
        EXPECT_EQ(m.vertices.size(), static_cast<std::size_t>(c.faces * 9 / 2 + 2)) << c.base;
        EXPECT_TRUE(isClosed(m)) << c.base;
        for (const Point3& p : m.vertices) EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 5, 1e-4);
    }
    const PrimitiveMesh half =
        refhost::buildPrimitive(PrimitiveGeoSphere, params({{0, 5}, {1, 4}, {2, 1}, {3, 1}, {6, 1}}));
    EXPECT_TRUE(isClosed(half));
    expectBounds(half, {-5, 5, -5, 5, 0, 5});
    EXPECT_EQ(half.faces.size(), 8u * 16 / 2 + 4 * 4) << "the upper half and a fan over the rim";
    expectTextureCoordinates(half);
    const PrimitiveMesh lifted = refhost::buildPrimitive(PrimitiveGeoSphere, params({{0, 5}, {1, 2}, {5, 1}}));
    expectBounds(lifted, {-5, 5, -5, 5, 0, 10}, 0.5);
    EXPECT_NEAR(boundsOf(lifted).lo[2], 0, 1e-5);
}

TEST(Primitives, ChamferBoxIsRoundedWithinItsBox) {
    // length (Y) 10, width (X) 20, height 6, fillet 1, fillet segments 2.
    const PrimitiveMesh m = refhost::buildPrimitive(
        PrimitiveChamferBox, params({{0, 10}, {1, 20}, {2, 6}, {3, 1}, {4, 2}, {5, 3}, {6, 1}, {7, 2}, {8, 1}}));
    EXPECT_TRUE(isClosed(m));
    expectBounds(m, {-10, 10, -5, 5, 0, 6});
    // Less than the box by the edges' and corners' rounding, no more.
    const double box = 10 * 20 * 6, lost = (1 - Pi / 4) * 4 * (8 + 18 + 4) + 8 * (1 - Pi / 6);
    EXPECT_LT(volume(m), box - lost * 0.5);
    EXPECT_GT(volume(m), box - lost * 1.5);
    expectTextureCoordinates(m);
    const PrimitiveMesh sharp = refhost::buildPrimitive(PrimitiveChamferBox, params({{0, 10}, {1, 20}, {2, 6}}));
    EXPECT_NEAR(volume(sharp), box, 1e-2);
    EXPECT_TRUE(isClosed(sharp));
}

TEST(Primitives, ChamferCylinderRoundsItsRims) {
    // As a sample file has it: radius 12, height 8, fillet 1.01, 1 height
    // segment, 3 fillet segments, 13 sides, 1 cap segment, smooth, no slice.
    const ParamValues sample =
        floats({{0, 12}, {1, 8}, {2, 1.01}, {3, 1}, {4, 3}, {5, 13}, {6, 1}, {7, 1}, {8, 0}, {9, 0}, {10, 0}, {11, 1}});
    const PrimitiveMesh m = refhost::buildPrimitive(PrimitiveChamferCyl, sample);
    EXPECT_FALSE(m.placeholder);
    EXPECT_TRUE(isClosed(m));
    // Thirteen sides: the vertex nearest -X is the sixth.
    expectBounds(
        m, {12 * std::cos(2 * Pi * 6 / 13), 12, -12 * std::sin(2 * Pi * 3 / 13), 12 * std::sin(2 * Pi * 3 / 13), 0, 8});
    // Rings: 2 rims of the caps, 2 x 2 inside the fillets, 2 down the wall; two centres.
    EXPECT_EQ(m.vertices.size(), 8u * 13 + 2);
    const double prism = polygonArea(13, 12) * 8;
    EXPECT_LT(volume(m), prism);
    EXPECT_GT(volume(m), prism - polygonArea(13, 12.0) * 2 * 1.01 * 0.5);
    expectTextureCoordinates(m);
    // Without a fillet it is the cylinder.
    const PrimitiveMesh sharp = refhost::buildPrimitive(PrimitiveChamferCyl, floats({{0, 2}, {1, 3}, {5, 8}}));
    EXPECT_TRUE(isClosed(sharp));
    EXPECT_NEAR(volume(sharp), polygonArea(8, 2) * 3, 1e-3);
}

TEST(Primitives, HedraFamiliesAreWythoffSolidsOfTheirSymmetry) {
    struct Case {
        int family;
        double p, q;
        std::size_t vertices, triangles;
        const char* solid;
    } cases[] = {
        {0, 0, 0, 4, 4, "tetrahedron"},
        {1, 0, 0, 6, 8, "octahedron"},
        {1, 1, 0, 8, 12, "cube: 6 squares"},
        {1, 0, 1, 12, 8 + 6 * 2, "cuboctahedron: 8 triangles, 6 squares"},
        {2, 0, 0, 12, 20, "icosahedron"},
        {2, 1, 0, 20, 12 * 3, "dodecahedron: 12 pentagons"},
        {2, 0, 1, 30, 20 + 12 * 3, "icosidodecahedron: 20 triangles, 12 pentagons"},
    };
    for (const Case& c : cases) {
        const PrimitiveMesh m =
            refhost::buildPrimitive(PrimitiveHedra, params({{0, 3}, {1, c.family}, {2, c.p}, {3, c.q}}));
        EXPECT_EQ(m.vertices.size(), c.vertices) << c.solid;
        EXPECT_EQ(m.faces.size(), c.triangles) << c.solid;
        EXPECT_TRUE(isClosed(m)) << c.solid;
        EXPECT_GT(volume(m), 0) << c.solid;
        for (const Point3& p : m.vertices) EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 3, 1e-5);
        EXPECT_TRUE(m.note.empty());
    }
    // Between the corners of the triangle: a truncated solid, still closed.
    const PrimitiveMesh cut =
        refhost::buildPrimitive(PrimitiveHedra, params({{0, 2}, {1, 2}, {2, 0.3}, {3, 0.3}, {8, 1}}));
    EXPECT_TRUE(isClosed(cut));
    EXPECT_EQ(cut.vertices.size(), 120u) << "a point inside the triangle has every image of the group";
    expectTextureCoordinates(cut);
    EXPECT_FALSE(refhost::buildPrimitive(PrimitiveHedra, params({{0, 3}, {1, 1}, {4, 50}})).note.empty());
    EXPECT_TRUE(refhost::buildPrimitive(PrimitiveHedra, params({{0, 3}, {1, 3}})).placeholder);
}

TEST(Primitives, KindsNotKnownGetAPlaceholderBox) {
    for (int32_t kind : {PrimitivePrism, PrimitiveOilTank, PrimitiveSpindle, PrimitiveGengon, PrimitiveKind40}) {
        const PrimitiveMesh m = refhost::buildPrimitive(kind, floats({{0, 4}, {1, 7}}));
        EXPECT_TRUE(m.placeholder) << kind;
        EXPECT_TRUE(isClosed(m));
        expectBounds(m, {-3.5, 3.5, -3.5, 3.5, 0, 7});
    }
}

TEST(Primitives, HostileParametersStayBounded) {
    // Non-finite values fall back to defaults, huge counts are capped, a
    // point value where a number belongs is ignored.
    ParamValues p = floats({{0, std::nan("")}, {1, 1e9}, {7, 1}, {8, std::numeric_limits<double>::infinity()}});
    p[2] = ParamValue{ParamValue::Type::Point, 0, 0, {1, 2, 3}};
    for (int32_t kind :
         {PrimitiveBox, PrimitiveSphere, PrimitiveCylinder, PrimitiveTorus, PrimitiveCone, PrimitiveGeoSphere,
          PrimitiveTube, PrimitivePyramid, PrimitiveHedra, PrimitiveChamferBox, PrimitiveChamferCyl}) {
        const PrimitiveMesh m = refhost::buildPrimitive(kind, p);
        EXPECT_LE(m.faces.size(), 2'000'000u) << kind;
        EXPECT_EQ(m.smoothing.size(), m.faces.size());
        for (const Point3& v : m.vertices) EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
    }
    // A sphere of radius 0 has no faces left, and that is no failure.
    EXPECT_TRUE(refhost::buildPrimitive(PrimitiveSphere, params({{0, 0}})).faces.empty());
}

TEST(Primitives, CreatePrimitiveBuildsTheNodesMesh) {
    refhost::App app;
    refhost::Scene scene(app);
    HostScene& s = scene;
    HostParamBlock* block = app.CreateParamBlock();
    block->SetFloat(0, 10);
    block->SetFloat(1, 10);
    block->SetFloat(2, 10);
    HostNode* box = s.CreatePrimitive(PrimitiveBox, block);
    HostNode* tank = s.CreatePrimitive(PrimitiveOilTank, block);
    block->Release();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(meshVertexCount(box), 8);
    EXPECT_EQ(meshFaceCount(box), 12);
    EXPECT_EQ(meshVertices(box)[0].z, 0.0f);

    ASSERT_EQ(app.hostNotes().size(), 1u);
    EXPECT_NE(app.hostNotes()[0].find("OilTank"), std::string::npos);
    const nlohmann::ordered_json j = refhost::dumpScene(app, scene);
    EXPECT_EQ(j["nodes"][0]["primitive"]["mesh"], "built");
    EXPECT_EQ(j["nodes"][1]["primitive"]["mesh"], "placeholder");
    EXPECT_EQ(j["nodes"][0]["faces"].size(), 12u);
    EXPECT_TRUE(j["nodes"][0]["faces"][0].contains("smoothing"));
    EXPECT_EQ(j["hostNotes"].size(), 1u);
    (void)tank;
}
