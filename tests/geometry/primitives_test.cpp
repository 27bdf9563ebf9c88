// The meshes of parametric primitives and the plane's grid, checked against
// geometric facts: counts per segment setting, bounds from the dimensions,
// closed surfaces facing out, and volumes.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <map>
#include <utility>
#include <vector>

#include "geometry/primitives/plane_grid.h"
#include "geometry/primitives/primitive.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

using geometry::PolyMesh;
using geometry::PrimitiveType;
using geometry::Vec3;

// Parameters by index; whole numbers are given as integers, the rest as floats.
geometry::PrimitiveParameters params(std::initializer_list<std::pair<int32_t, double>> values) {
    geometry::PrimitiveParameters p;
    for (const auto& [index, v] : values) {
        if (v == std::floor(v)) {
            p.setInteger(index, static_cast<int32_t>(v));
        } else {
            p.setFloat(index, static_cast<float>(v));
        }
    }
    return p;
}

PolyMesh build(PrimitiveType type, const geometry::PrimitiveParameters& p,
               geometry::TextureV direction = geometry::TextureV::Up) {
    PolyMesh m;
    geometry::buildPrimitive(type, p, m, direction);
    return m;
}

// Low x, high x, low y, ... of the positions.
std::vector<double> boundsOf(const PolyMesh& m) {
    std::vector<double> b = {1e300, -1e300, 1e300, -1e300, 1e300, -1e300};
    for (const geometry::Vec3& p : m.positions) {
        const double c[3] = {p.x, p.y, p.z};
        for (int a = 0; a < 3; ++a) {
            b[2 * a] = std::min(b[2 * a], c[a]);
            b[2 * a + 1] = std::max(b[2 * a + 1], c[a]);
        }
    }
    return b;
}

// Triangles of material 0, closed and consistently turned (every edge walked
// once each way), map corners within the map, map vertices in [0, 1].
::testing::AssertionResult isClosedSurface(const PolyMesh& m) {
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    for (uint32_t p = 0; p < m.polygonCount(); ++p) {
        if (m.degree(p) != 3 || m.materialIds[p] != 0) return ::testing::AssertionFailure() << "polygon " << p;
        const uint32_t* v = m.corners.data() + m.firstCorner(p);
        for (uint32_t k = 0; k < 3; ++k) {
            if (v[k] >= m.positions.size()) return ::testing::AssertionFailure() << "vertex index " << v[k];
            ++edges[{v[k], v[(k + 1) % 3]}];
        }
    }
    for (const auto& [edge, count] : edges) {
        const auto back = edges.find({edge.second, edge.first});
        if (count != 1 || back == edges.end() || back->second != 1) {
            return ::testing::AssertionFailure() << "edge " << edge.first << "-" << edge.second;
        }
    }
    for (const geometry::MapChannel& map : m.maps) {
        for (uint32_t t : map.corners) {
            if (t >= map.vertices.size()) return ::testing::AssertionFailure() << "map corner " << t;
        }
        for (const geometry::Vec3& t : map.vertices) {
            if (!(t.x >= -1e-6f && t.x <= 1 + 1e-6f && t.y >= -1e-6f && t.y <= 1 + 1e-6f)) {
                return ::testing::AssertionFailure() << "map vertex " << t.x << " " << t.y;
            }
        }
    }
    if (edges.empty()) return ::testing::AssertionFailure() << "no faces";
    return ::testing::AssertionSuccess();
}

// Positive for a closed surface whose faces face out.
double volume(const PolyMesh& m) {
    double v = 0;
    for (uint32_t first = 0; first + 2 < m.corners.size(); first += 3) {
        const geometry::Vec3 a = m.positions[m.corners[first]], b = m.positions[m.corners[first + 1]],
                             c = m.positions[m.corners[first + 2]];
        v += (double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
              double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
              double(a.z) * (double(b.x) * c.y - double(b.y) * c.x)) /
             6;
    }
    return v;
}

// The area of a regular n-gon of circumradius r.
double ngon(int n, double r) {
    return n / 2.0 * r * r * std::sin(2 * Pi / n);
}

}  // namespace

TEST(Primitives, ClosedSolidsHaveTheirCountsAndVolumes) {
    const double ball = 4.0 / 3 * Pi * 125, torus = ngon(6, 2) * 2 * Pi * 10;
    const double frustum = ngon(16, 1) + ngon(16, 2) + std::sqrt(ngon(16, 1) * ngon(16, 2));
    const double rounding = (1 - Pi / 4) * 4 * 30 + 8 * (1 - Pi / 6);  // a chamfer box's edges and corners
    struct Case {
        const char* name;
        PrimitiveType type;
        geometry::PrimitiveParameters p;
        std::size_t vertices, triangles;  // 0: not checked
        double volume, tolerance;         // tolerance relative to the volume
    } cases[] = {
        // Y 10, X 20, Z 30; segments along X, Y, Z 2, 3, 4.
        {"box", PrimitiveType::Box, params({{0, 10}, {1, 20}, {2, 30}, {3, 2}, {4, 3}, {5, 4}, {6, 1}}), 54, 104, 6000,
         1e-6},
        {"box of negative height", PrimitiveType::Box, params({{0, 2}, {1, 2}, {2, -3}}), 8, 12, 12, 1e-6},
        {"sphere", PrimitiveType::Sphere, params({{0, 5}, {1, 16}, {2, 1}, {6, 1}}), 7 * 16 + 2, 2 * 16 * 7,
         0.95 * ball, 0.05},
        // 3 height segments, 2 cap segments, 8 sides: rings inside both caps and 4 down the wall.
        {"cylinder", PrimitiveType::Cylinder, params({{0, 2}, {1, 10}, {2, 3}, {3, 2}, {4, 8}}), 6 * 8 + 2, 8 * 12,
         ngon(8, 2) * 10, 1e-6},
        {"cylinder of negative height", PrimitiveType::Cylinder, params({{0, 1}, {1, -2}, {4, 12}}), 0, 0,
         ngon(12, 1) * 2, 1e-6},
        {"cone to a point", PrimitiveType::Cone, params({{0, 3}, {1, 0}, {2, 6}, {5, 10}}), 0, 0, ngon(10, 3) * 2,
         1e-6},
        {"frustum", PrimitiveType::Cone, params({{0, 1}, {1, 2}, {2, 3}, {5, 16}, {10, 1}}), 0, 0, frustum, 1e-6},
        // The larger radius is the outside, whichever comes first.
        {"tube", PrimitiveType::Tube, params({{0, 2}, {1, 5}, {2, 4}, {5, 12}}), 0, 0, (ngon(12, 5) - ngon(12, 2)) * 4,
         1e-6},
        // Pappus, which the ring's polygon cuts a little short.
        {"torus", PrimitiveType::Torus, params({{0, 10}, {1, 2}, {4, 12}, {5, 6}, {10, 1}}), 72, 144, 0.975 * torus,
         0.025},
        {"fine torus", PrimitiveType::Torus, params({{0, 10}, {1, 2}, {4, 200}, {5, 6}}), 0, 0, torus, 1e-3},
        // Base 2 x 3 cells; sides 2 rows each, the top row meeting in the apex.
        {"pyramid", PrimitiveType::Pyramid, params({{0, 4}, {1, 6}, {2, 3}, {3, 2}, {4, 3}, {5, 2}, {6, 1}}), 0,
         12 + 20 + 10, 24, 1e-6},
        {"chamfer box without fillet", PrimitiveType::ChamferBox, params({{0, 10}, {1, 20}, {2, 6}}), 0, 0, 1200, 1e-6},
        {"chamfer box", PrimitiveType::ChamferBox,
         params({{0, 10}, {1, 20}, {2, 6}, {3, 1}, {4, 2}, {5, 3}, {6, 1}, {7, 2}, {8, 1}}), 0, 0, 1200 - rounding,
         0.5 * rounding / 1200},
        // As a sample file has it: radius 12, height 8, fillet 1.01, 3 fillet
        // segments, 13 sides. Rings: 2 cap rims, 2 x 2 in the fillets, 2 down the wall; two centres.
        {"chamfer cylinder", PrimitiveType::ChamferCylinder,
         params({{0, 12}, {1, 8}, {2, 1.01}, {3, 1}, {4, 3}, {5, 13}, {6, 1}, {7, 1}, {11, 1}}), 8 * 13 + 2, 0,
         ngon(13, 12) * (8 - 0.5), 0.5 / 8},
        {"hemisphere", PrimitiveType::Sphere, params({{0, 5}, {1, 16}, {3, 0.5}}), 0, 0, 0.475 * ball, 0.025},
        {"sphere sliced to 90 degrees", PrimitiveType::Sphere, params({{0, 5}, {1, 64}, {7, 1}, {8, 0}, {9, 90}}), 0, 0,
         ball / 4, 0.01},
        // The upper half of an octahedron's, and a fan over the rim.
        {"geodesic hemisphere", PrimitiveType::GeoSphere, params({{0, 5}, {1, 4}, {2, 1}, {3, 1}, {6, 1}}), 0,
         8 * 16 / 2 + 4 * 4, 0.475 * ball, 0.05},
        {"placeholder", PrimitiveType::Placeholder, params({{0, 4}, {1, 7}}), 8, 12, 343, 1e-6},
    };
    for (const Case& c : cases) {
        const PolyMesh m = build(c.type, c.p);
        EXPECT_TRUE(isClosedSurface(m)) << c.name;
        EXPECT_TRUE(c.vertices == 0 || m.positions.size() == c.vertices) << c.name << ": " << m.positions.size();
        EXPECT_TRUE(c.triangles == 0 || m.polygonCount() == c.triangles) << c.name << ": " << m.polygonCount();
        EXPECT_NEAR(volume(m), c.volume, c.volume * c.tolerance) << c.name;
    }
    // Slices of every turned kind, a twist, a cut sphere moved onto its base: closed.
    for (const auto& [type, p] :
         {std::pair{PrimitiveType::Cylinder, params({{0, 3}, {1, 5}, {6, 1}, {7, -45}, {8, 200}})},
          {PrimitiveType::Cone, params({{0, 3}, {1, 1}, {2, 5}, {7, 1}, {8, 30}, {9, 300}})},
          {PrimitiveType::Tube, params({{0, 3}, {1, 1}, {2, 5}, {7, 1}, {8, 30}, {9, 300}})},
          {PrimitiveType::Torus, params({{0, 6}, {1, 2}, {7, 1}, {8, 30}, {9, 300}, {10, 1}})},
          {PrimitiveType::Torus, params({{0, 10}, {1, 2}, {2, 15}, {3, 90}, {4, 9}, {5, 5}})},
          {PrimitiveType::Sphere, params({{0, 4}, {1, 12}, {3, 0.25}, {5, 1}})}}) {
        const PolyMesh m = build(type, p);
        EXPECT_TRUE(isClosedSurface(m)) << static_cast<int>(type);
        EXPECT_GT(volume(m), 0) << static_cast<int>(type);
    }
}

TEST(Primitives, BoundsFollowTheDimensions) {
    const std::pair<PolyMesh, std::vector<double>> cases[] = {
        {build(PrimitiveType::Box, params({{0, 10}, {1, 20}, {2, 30}})), {-10, 10, -5, 5, 0, 30}},
        {build(PrimitiveType::Box, params({{0, 2}, {1, 2}, {2, -3}})), {-1, 1, -1, 1, -3, 0}},
        {build(PrimitiveType::Cylinder, params({{0, 1}, {1, -2}, {4, 12}})), {-1, 1, -1, 1, -2, 0}},
        {build(PrimitiveType::Sphere, params({{0, 5}, {1, 16}, {3, 0.5}})), {-5, 5, -5, 5, 0, 5}},
        // A quarter cut away, then moved up onto its base.
        {build(PrimitiveType::Sphere, params({{0, 4}, {1, 12}, {3, 0.25}, {5, 1}})), {-4, 4, -4, 4, 0, 6}},
        {build(PrimitiveType::Sphere, params({{0, 5}, {1, 64}, {7, 1}, {8, 0}, {9, 90}})), {0, 5, 0, 5, -5, 5}},
        {build(PrimitiveType::Torus, params({{0, 10}, {1, 2}, {4, 12}, {5, 6}})),
         {-12, 12, -12, 12, -2 * std::sin(Pi / 3), 2 * std::sin(Pi / 3)}},
        {build(PrimitiveType::Pyramid, params({{0, 4}, {1, 6}, {2, 3}})), {-2, 2, -3, 3, 0, 3}},
        {build(PrimitiveType::ChamferBox, params({{0, 10}, {1, 20}, {2, 6}, {3, 1}})), {-10, 10, -5, 5, 0, 6}},
        {build(PrimitiveType::Placeholder, params({{0, 4}, {1, 7}})), {-3.5, 3.5, -3.5, 3.5, 0, 7}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::vector<double> b = boundsOf(cases[i].first);
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(b[k], cases[i].second[k], 1e-4) << "case " << i << ", " << k;
    }
    EXPECT_NEAR(boundsOf(build(PrimitiveType::GeoSphere, params({{0, 5}, {1, 2}, {5, 1}})))[4], 0, 1e-5)
        << "moved onto its base";
}

TEST(Primitives, EdgesSmoothingGroupsAndTextureCoordinates) {
    // A box's sides show their cells' outlines: a visible edge runs along one
    // axis, a hidden one (a cell's diagonal) across two, upwards or down.
    for (double height : {3.0, -3.0}) {
        const PolyMesh box = build(PrimitiveType::Box, params({{0, 2}, {1, 2}, {2, height}, {3, 2}}));
        for (uint32_t c = 0; c < box.corners.size(); ++c) {
            const Vec3 a = box.positions[box.corners[c]], b = box.positions[box.corners[c % 3 == 2 ? c - 2 : c + 1]];
            const int axes = (a.x != b.x) + (a.y != b.y) + (a.z != b.z);
            EXPECT_EQ(axes, box.edgeVisible[c] ? 1 : 2) << "height " << height << ", corner " << c;
        }
    }

    // Each side of a box is its own group.
    std::map<uint32_t, int> groups;
    for (uint32_t g : build(PrimitiveType::Box, params({{0, 1}, {1, 1}, {2, 1}, {3, 2}, {4, 3}})).smoothingGroups) {
        ++groups[g];
    }
    EXPECT_EQ(groups.size(), 6u);
    EXPECT_EQ(groups[4], 2 * 2 * 3) << "top: width by length segments";
    // Torus bands alternate, with a third group where an odd count closes the ring.
    groups.clear();
    for (uint32_t g : build(PrimitiveType::Torus, params({{0, 10}, {1, 2}, {4, 9}, {6, 1}})).smoothingGroups)
        ++groups[g];
    EXPECT_EQ(groups.size(), 3u);
    for (uint32_t g : build(PrimitiveType::Sphere, params({{0, 5}, {2, 0}})).smoothingGroups) EXPECT_EQ(g, 0u);

    // A cylinder's profile starts at the top centre, where v is 1 as MAX has
    // it, or 0 asked for down.
    const geometry::PrimitiveParameters p = params({{0, 2}, {1, 10}, {4, 8}, {9, 1}});
    const PolyMesh up = build(PrimitiveType::Cylinder, p),
                   down = build(PrimitiveType::Cylinder, p, geometry::TextureV::Down);
    ASSERT_EQ(up.maps.size(), 1u);
    ASSERT_EQ(up.maps[0].channel, geometry::TextureChannel);
    EXPECT_EQ(up.positions[up.corners[0]].z, 10.0f);
    EXPECT_EQ(up.maps[0].vertices[up.maps[0].corners[0]].y, 1.0f);
    ASSERT_EQ(down.maps[0].vertices.size(), up.maps[0].vertices.size());
    for (std::size_t i = 0; i < up.maps[0].vertices.size(); ++i) {
        EXPECT_NEAR(up.maps[0].vertices[i].y, 1 - down.maps[0].vertices[i].y, 1e-6);
    }
    EXPECT_TRUE(build(PrimitiveType::Cylinder, params({{0, 2}, {1, 10}})).maps.empty());
}

TEST(Primitives, GeoSpheresAndHedraAreSolidsOnTheirSphere) {
    for (const auto& [base, faces] : {std::pair<int, std::size_t>{0, 4}, {1, 8}, {2, 20}}) {
        const PolyMesh m = build(PrimitiveType::GeoSphere, params({{0, 5}, {1, 3}, {2, base}}));
        EXPECT_EQ(m.polygonCount(), faces * 9) << base;
        EXPECT_EQ(m.positions.size(), faces * 9 / 2 + 2) << base;
        EXPECT_TRUE(isClosedSurface(m)) << base;
        for (const geometry::Vec3& v : m.positions) EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 5, 1e-4);
    }
    // Hedra families 0 to 2 are the Wythoff solids of their symmetry.
    struct Case {
        int family;
        double p, q;
        std::size_t vertices, triangles;
        const char* solid;
    } cases[] = {
        {0, 0, 0, 4, 4, "tetrahedron"},
        {1, 1, 0, 8, 12, "cube: 6 squares"},
        {1, 0, 1, 12, 8 + 6 * 2, "cuboctahedron: 8 triangles, 6 squares"},
        {2, 1, 0, 20, 12 * 3, "dodecahedron: 12 pentagons"},
        {2, 0.3, 0.3, 120, 0, "a point inside the triangle has every image of the group"},
    };
    for (const Case& c : cases) {
        PolyMesh m;
        const geometry::PrimitiveBuild b = geometry::buildPrimitive(
            PrimitiveType::Hedra, params({{0, 3}, {1, c.family}, {2, c.p}, {3, c.q}, {8, 1}}), m);
        EXPECT_EQ(m.positions.size(), c.vertices) << c.solid;
        EXPECT_TRUE(c.triangles == 0 || m.polygonCount() == c.triangles) << c.solid;
        EXPECT_TRUE(isClosedSurface(m)) << c.solid;
        EXPECT_GT(volume(m), 0) << c.solid;
        for (const geometry::Vec3& v : m.positions) EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 3, 1e-5);
        EXPECT_EQ(b.note, nullptr);
    }
    PolyMesh m;
    EXPECT_NE(geometry::buildPrimitive(PrimitiveType::Hedra, params({{0, 3}, {1, 1}, {4, 50}}), m).note, nullptr)
        << "the axis scales are not applied";
    const geometry::PrimitiveBuild star = geometry::buildPrimitive(PrimitiveType::Hedra, params({{0, 3}, {1, 3}}), m);
    EXPECT_TRUE(star.placeholder);
    EXPECT_NE(star.note, nullptr);
}

TEST(Primitives, HostileParametersStayBounded) {
    // Non-finite values fall back to defaults, huge counts are capped.
    geometry::PrimitiveParameters p;
    p.setFloat(0, std::numeric_limits<float>::quiet_NaN());
    p.setFloat(1, 1e9f);
    p.setInteger(4, std::numeric_limits<int32_t>::max());
    p.setInteger(7, 1);
    p.setFloat(8, std::numeric_limits<float>::infinity());
    for (int type = 0; type < static_cast<int>(PrimitiveType::Placeholder); ++type) {
        const PolyMesh m = build(static_cast<PrimitiveType>(type), p);
        EXPECT_LE(m.polygonCount(), 2'000'000u) << type;
        for (const geometry::Vec3& v : m.positions) EXPECT_TRUE(std::isfinite(v.x + v.y + v.z)) << type;
    }
    // A sphere of radius 0 has no faces left, and that is no failure.
    EXPECT_EQ(build(PrimitiveType::Sphere, params({{0, 0}})).polygonCount(), 0u);
}

TEST(PlaneGrid, RowsOfCellsCutAlongAHiddenDiagonal) {
    PolyMesh m;
    geometry::buildPlaneGrid(10, 20, 2, 3, m);
    ASSERT_EQ(m.positions.size(), 3u * 4);
    ASSERT_EQ(m.polygonCount(), 2u * 2 * 3);
    EXPECT_TRUE(m.maps.empty());
    EXPECT_EQ(m.positions.front(), (geometry::Vec3{-10, -5, 0}));
    EXPECT_NEAR(m.positions[1].x, 20 * (1.0 / 3 - 0.5), 1e-5) << "rows run along the width";
    EXPECT_EQ(m.positions.back(), (geometry::Vec3{10, 5, 0}));
    // The first cell: above, corner, above + 1 and corner + 1, above + 1, corner.
    const uint32_t first[6] = {4, 0, 5, 1, 5, 0};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(m.corners[k], first[k]);
    double area = 0;
    for (uint32_t p = 0; p < m.polygonCount(); ++p) {
        const uint32_t c = m.firstCorner(p);
        EXPECT_EQ(m.edgeVisible[c] + 2 * m.edgeVisible[c + 1] + 4 * m.edgeVisible[c + 2], 1 + 4) << "b-c hidden";
        EXPECT_EQ(m.smoothingGroups[p], 1u);
        EXPECT_EQ(m.materialIds[p], 0);
        const geometry::Vec3 a = m.positions[m.corners[c]], b = m.positions[m.corners[c + 1]],
                             d = m.positions[m.corners[c + 2]];
        const double up = (double(b.x) - a.x) * (double(d.y) - a.y) - (double(b.y) - a.y) * (double(d.x) - a.x);
        EXPECT_GT(up, 0) << "faces +z";
        area += up / 2;
    }
    EXPECT_NEAR(area, 200, 1e-3);
    geometry::buildPlaneGrid(1, 1, 0, 100000, m);
    EXPECT_EQ(m.polygonCount(), 2u * geometry::MaxPlaneSegments) << "counts clamped to [1, the limit]";
}
