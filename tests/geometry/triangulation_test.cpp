// Triangulation of polygons drawn in a plane of their own and laid into
// space: every result is checked against the outline it cuts (degree - 2
// triangles, the winding kept, the area covered once, no triangle outside,
// polygon edges with their own visibility and diagonals hidden).
#include "geometry/triangulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "geometry/ear_clipping.h"

namespace {

using geometry::PolyMesh;
using geometry::Triangle;
using geometry::Vec3;

struct Point2 {
    double u, v;
};
using Outline = std::vector<Point2>;  // counter-clockwise

// An outline laid into space: u along `across`, v along `up`, bent out of
// that plane by bend * (u^2 - v^2).
struct Placement {
    Vec3 across, up;
    float bend;
};
const Placement Placements[] = {
    {{1, 0, 0}, {0, 1, 0}, 0},     {{1, 0, 0}, {0, -1, 0}, 0},       // facing +z, and -z
    {{0, 0, 1}, {0, 1, 0}, 0},     {{0.6f, 0.8f, 0}, {0, 0, 1}, 0},  // facing -x; upright at an angle
    {{1, 0, 0}, {0, 1, 0}, 0.05f}, {{0, 0, 1}, {0, 1, 0}, 0.05f},    // not planar
};

double cross(Point2 a, Point2 b, Point2 c) {
    return (b.u - a.u) * (c.v - a.v) - (b.v - a.v) * (c.u - a.u);
}

bool inside(const Outline& o, Point2 p) {
    bool in = false;
    for (std::size_t i = 0, j = o.size() - 1; i < o.size(); j = i++) {
        if ((o[i].v > p.v) != (o[j].v > p.v) && p.u < (o[j].u - o[i].u) * (p.v - o[i].v) / (o[j].v - o[i].v) + o[i].u) {
            in = !in;
        }
    }
    return in;
}

// One polygon, corner i at vertex i; the edge after corner i is hidden when i % 3 == 1.
PolyMesh meshOf(const Outline& o, const Placement& at) {
    PolyMesh m;
    const auto n = static_cast<uint32_t>(o.size());
    m.addPolygon(n);
    const Vec3 normal{at.across.y * at.up.z - at.across.z * at.up.y, at.across.z * at.up.x - at.across.x * at.up.z,
                      at.across.x * at.up.y - at.across.y * at.up.x};
    for (uint32_t i = 0; i < n; ++i) {
        const auto u = static_cast<float>(o[i].u), v = static_cast<float>(o[i].v);
        m.positions.push_back(at.across * u + at.up * v + normal * (at.bend * (u * u - v * v)));
        m.corners[i] = i;
        m.edgeVisible[i] = i % 3 != 1;
    }
    return m;
}

std::vector<Triangle> triangulated(const PolyMesh& m) {
    geometry::Vector<Triangle> t;
    geometry::triangulate(m, t);
    return {t.begin(), t.end()};
}

bool isEdge(uint32_t from, uint32_t to, uint32_t n) {
    return to == from + 1 || (from == 0 && to == n - 1);
}

::testing::AssertionResult cutsWell(const Outline& o, const PolyMesh& m, const std::vector<Triangle>& triangles) {
    const auto n = static_cast<uint32_t>(o.size());
    if (triangles.size() != n - 2) return ::testing::AssertionFailure() << triangles.size() << " triangles";
    double covered = 0, area = 0;
    for (uint32_t i = 0; i < n; ++i) area += cross({0, 0}, o[i], o[(i + 1) % n]) / 2;
    std::map<std::pair<uint32_t, uint32_t>, int> uses;
    for (const Triangle& t : triangles) {
        const uint32_t* c = t.corner;
        if (!(c[0] < c[1] && c[1] < c[2] && c[2] < n)) return ::testing::AssertionFailure() << "corners " << c[0];
        const double a = cross(o[c[0]], o[c[1]], o[c[2]]) / 2;
        const Point2 centre{(o[c[0]].u + o[c[1]].u + o[c[2]].u) / 3, (o[c[0]].v + o[c[1]].v + o[c[2]].v) / 3};
        if (a < -1e-9 || (a > 1e-9 && !inside(o, centre))) {
            return ::testing::AssertionFailure() << "turned or outside: " << c[0] << " " << c[1] << " " << c[2];
        }
        covered += a;
        const std::pair<uint32_t, uint32_t> sides[3] = {{c[0], c[1]}, {c[1], c[2]}, {c[0], c[2]}};
        for (int k = 0; k < 3; ++k) {
            const auto [from, to] = sides[k];
            ++uses[sides[k]];
            const bool visible = isEdge(from, to, n) && m.edgeVisible[to == from + 1 ? from : to];
            if (((t.edges >> k) & 1) != visible) return ::testing::AssertionFailure() << "edge " << from << "-" << to;
        }
    }
    for (const auto& [side, count] : uses) {
        if (count != (isEdge(side.first, side.second, n) ? 1 : 2)) return ::testing::AssertionFailure() << "side used";
    }
    if (std::fabs(covered - area) > 1e-6 * area) return ::testing::AssertionFailure() << covered << " of " << area;
    return ::testing::AssertionSuccess();
}

// A star with an inner corner first, so that a fan from it leaves the polygon.
Outline star(int points, double outer, double inner) {
    Outline o;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = 3.14159265358979323846 * i / points, r = i % 2 == 0 ? inner : outer;
        o.push_back({std::round(r * std::cos(a) * 64) / 64, std::round(r * std::sin(a) * 64) / 64});
    }
    return o;
}

}  // namespace

TEST(Triangulation, ConvexConcaveCollinearAndBentPolygonsInEveryPlane) {
    std::vector<std::pair<const char*, Outline>> outlines = {
        {"hexagon", {{2, 0}, {1, 2}, {-1, 2}, {-2, 0}, {-1, -2}, {1, -2}}},
        {"L", {{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}}},
        {"arrowhead", {{0, 0}, {4, 2}, {0, 4}, {1, 2}}},
        {"star", star(5, 4, 1.5)},
        {"comb", {{0, 0}, {5, 0}, {5, 3}, {4, 3}, {4, 1}, {3, 1}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}}},
        {"square with points on its sides", {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}}},
        {"triangle with points on its sides", {{0, 0}, {2, 0}, {4, 0}, {2, 2}, {0, 4}, {0, 2}}},
        {"repeated corners", {{0, 0}, {2, 0}, {2, 0}, {2, 2}, {1, 1}, {0, 2}, {0, 2}}},
    };
    // Random star-shaped outlines, concave at most of their corners.
    std::mt19937 random(7);
    for (int round = 0; round < 100; ++round) {
        const int n = 4 + static_cast<int>(random() % 60);
        Outline o;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * 3.14159265358979323846 * i / n, r = 1 + static_cast<double>(random() % 16);
            o.push_back({std::round(r * std::cos(a) * 16) / 16, std::round(r * std::sin(a) * 16) / 16});
        }
        outlines.emplace_back("random", o);
    }
    for (const auto& [name, outline] : outlines) {
        for (const Placement& at : Placements) {
            const PolyMesh m = meshOf(outline, at);
            ASSERT_TRUE(cutsWell(outline, m, triangulated(m))) << name << ", placement " << &at - Placements;
        }
    }
    // A vertex of its own at another corner's point counts as that corner.
    PolyMesh twice = meshOf(outlines[7].second, Placements[0]);
    twice.corners[2] = 1;
    EXPECT_TRUE(cutsWell(outlines[7].second, twice, triangulated(twice)));
}

TEST(Triangulation, StoredDiagonalsAreKeptAndUnusableOnesIgnored) {
    // Cut along (0,2), (2,4), (0,4) as the file has it, though (2,3,4) lies outside.
    PolyMesh m = meshOf({{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}, {-1, 2}}, Placements[0]);
    m.diagonalStart = {0, 3};
    m.diagonals = {2, 0, 2, 4, 4, 0};
    const std::vector<Triangle> t = triangulated(m);
    ASSERT_EQ(t.size(), 4u);
    const uint32_t expected[4][3] = {{0, 1, 2}, {0, 2, 4}, {0, 4, 5}, {2, 3, 4}};
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(t[i].corner[k], expected[i][k]);
    }
    EXPECT_EQ(t[0].edges, 1) << "0-1 visible, 1-2 hidden (corner 1), 0-2 a diagonal";

    // Crossing diagonals, too few, or out of range: cut as if it had none.
    const Outline l = {{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}};
    const std::vector<Triangle> plain = triangulated(meshOf(l, Placements[0]));
    for (const std::vector<uint32_t>& diagonals :
         {std::vector<uint32_t>{0, 3, 1, 4, 2, 5}, {0, 2}, {0, 9, 1, 1, 3, 5}}) {
        PolyMesh d = meshOf(l, Placements[0]);
        d.diagonalStart = {0, static_cast<uint32_t>(diagonals.size() / 2)};
        d.diagonals.assign(diagonals.begin(), diagonals.end());
        const std::vector<Triangle> cut = triangulated(d);
        ASSERT_EQ(cut.size(), plain.size());
        for (std::size_t i = 0; i < cut.size(); ++i) {
            for (int k = 0; k < 3; ++k) EXPECT_EQ(cut[i].corner[k], plain[i].corner[k]);
        }
    }
}

TEST(Triangulation, PolygonsWithoutAPlaneAreFannedWithinBounds) {
    // Corners that name no vertex, all in a line or at one point, a position
    // not finite, more corners than ear clipping takes: degree - 2 triangles
    // of the fan, and no read outside the positions.
    PolyMesh m;
    m.positions = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 1, 0}, {NAN, 0, 0}};
    for (const std::vector<uint32_t>& corners : {std::vector<uint32_t>{0, geometry::NoIndex, 3, 1},
                                                 {0, 1, 100000, 3, 2},
                                                 {0, 1, 2, 1},
                                                 {3, 3, 3, 3},
                                                 {0, 1, 4, 3},
                                                 {},
                                                 {0, 1}}) {
        const uint32_t first = m.addPolygon(static_cast<uint32_t>(corners.size()));
        for (std::size_t i = 0; i < corners.size(); ++i) m.corners[first + i] = corners[i];
    }
    const uint32_t large = geometry::MaxEarClippedDegree + 1, first = m.addPolygon(large);
    for (uint32_t i = 0; i < large; ++i) {
        m.corners[first + i] = static_cast<uint32_t>(m.positions.size());
        const double a = 2 * 3.14159265358979323846 * i / large;
        m.positions.push_back({static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)), 0});
    }
    const std::vector<Triangle> t = triangulated(m);
    ASSERT_EQ(t.size(), 2u + 3 + 2 + 2 + 2 + (large - 2));
    for (const Triangle& triangle : t) {
        EXPECT_EQ(triangle.corner[0], m.firstCorner(triangle.polygon)) << "polygon " << triangle.polygon;
        EXPECT_EQ(triangle.corner[2], triangle.corner[1] + 1);
    }
    // Crossing itself, it runs out of ears; it is still cut into degree - 2 triangles.
    EXPECT_EQ(triangulated(meshOf({{0, 0}, {2, 2}, {2, 0}, {0, 2}, {-1, 1}}, Placements[0])).size(), 3u);
}
