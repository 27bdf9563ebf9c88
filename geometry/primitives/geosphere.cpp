// The geodesic sphere: a regular solid whose faces are split into a
// triangular grid and pushed out onto the sphere.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>

#include "geometry/primitives/builders.h"
#include "geometry/primitives/solids.h"

namespace geometry::primitives {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr uint32_t BaseGroup = 2;

struct Triangle {
    Vec3d a, b, c;
};

// The point with integer weights (wa, wb, wc) / n over the corners of a base
// face. The terms are summed in the order of the corners' numbers, so that a
// point on an edge comes out bit for bit the same from both faces at it.
Vec3d gridPoint(const Solid& s, const std::array<int, 3>& face, const int weights[3], int n) {
    std::array<std::pair<int, int>, 3> terms{{{face[0], weights[0]}, {face[1], weights[1]}, {face[2], weights[2]}}};
    std::sort(terms.begin(), terms.end());
    Vec3d sum{0, 0, 0};
    for (const auto& [corner, weight] : terms) {
        const Vec3d& v = s.vertices[static_cast<std::size_t>(corner)];
        sum = {sum.x + v.x * weight, sum.y + v.y * weight, sum.z + v.z * weight};
    }
    return normalized({sum.x / n, sum.y / n, sum.z / n});
}

Vector<Triangle> subdivide(const Solid& s, int n, double radius) {
    Vector<Triangle> out;
    for (const auto& face : s.faces) {
        auto at = [&](int i, int j) {
            const int w[3] = {n - i - j, i, j};
            const Vec3d p = gridPoint(s, face, w, n);
            return Vec3d{p.x * radius, p.y * radius, p.z * radius};
        };
        for (int i = 0; i < n; ++i) {
            for (int j = 0; i + j < n; ++j) {
                out.push_back({at(i, j), at(i + 1, j), at(i, j + 1)});
                if (i + j < n - 1) out.push_back({at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
            }
        }
    }
    return out;
}

int sphericalTex(MeshBuilder& mesh, const Vec3d& p, double radius) {
    const double u = 0.5 + std::atan2(p.y, p.x) / (2 * Pi);
    const double v = radius > 0 ? 0.5 + std::asin(std::clamp(p.z / radius, -1.0, 1.0)) / Pi : 0.5;
    return mesh.texVertex(u, v);
}

}  // namespace

// 0 radius, 1 segs, 2 base type (0 tetra, 1 octa, 2 icosa), 3 hemisphere,
// 4 smooth, 5 base to pivot, 6 genUVs.
void buildGeoSphere(const Parameters& p, PolyMesh& target, TextureV direction) {
    const double radius = std::fabs(p.number(0, 0));
    const int segments = p.count(1, 4, 1, MaxGeodesicSegments);
    const int base = p.choice(2, 2, 2);
    const bool hemisphere = p.flag(3, false);
    const uint32_t group = p.flag(4, true) ? 1 : 0;
    const bool baseToPivot = p.flag(5, false);
    const bool withTexture = p.flag(6, false);
    const Solid solid = base == 0 ? tetrahedron() : base == 1 ? octahedron() : icosahedron();

    // The hemisphere is built open first, then again with its rim closed.
    PolyMesh open;
    MeshBuilder mesh(hemisphere ? open : target, withTexture, direction);
    for (Triangle t : subdivide(solid, segments, radius)) {
        if (hemisphere) {
            // The upper half: faces whose centre is not below the equator,
            // pressed flat where they reach under it.
            if (t.a.z + t.b.z + t.c.z < -1e-9 * radius) continue;
            for (Vec3d* v : {&t.a, &t.b, &t.c}) v->z = std::max(v->z, 0.0);
        }
        // Numbered from the last corner, as the vertices have always been.
        const int tc = sphericalTex(mesh, t.c, radius), tb = sphericalTex(mesh, t.b, radius),
                  ta = sphericalTex(mesh, t.a, radius);
        const int c = mesh.vertex(t.c), b = mesh.vertex(t.b), a = mesh.vertex(t.a);
        mesh.triangle(a, b, c, group, ta, tb, tc);
    }
    if (!hemisphere) {
        if (baseToPivot) mesh.shiftZ(radius);
        return;
    }
    // Close the open rim with a fan from the centre of the base.
    MeshBuilder closed(target, withTexture, direction);
    using Edge = std::pair<uint32_t, uint32_t>;
    std::map<Edge, int, std::less<Edge>, Allocator<std::pair<const Edge, int>>> edges;
    for (uint32_t first = 0; first < open.corners.size(); first += 3) {
        const uint32_t* v = open.corners.data() + first;
        for (uint32_t k = 0; k < 3; ++k) ++edges[{v[k], v[(k + 1) % 3]}];
    }
    auto point = [&](uint32_t i) {
        const Vec3& q = open.positions[i];
        return Vec3d{q.x, q.y, q.z};
    };
    for (uint32_t f = 0; f < open.polygonCount(); ++f) {
        const uint32_t* v = open.corners.data() + open.firstCorner(f);
        const Vec3d a = point(v[0]), b = point(v[1]), c = point(v[2]);
        const int tc = sphericalTex(closed, c, radius), tb = sphericalTex(closed, b, radius),
                  ta = sphericalTex(closed, a, radius);
        const int vc = closed.vertex(c), vb = closed.vertex(b), va = closed.vertex(a);
        closed.triangle(va, vb, vc, open.smoothingGroups[f], ta, tb, tc);
    }
    const int centre = closed.vertex({0, 0, 0});
    const int centreTex = closed.texVertex(0.5, 0.5);
    const double across = radius > 0 ? 2 * radius : 1;
    for (const auto& [edge, uses] : edges) {
        if (uses != 1 || edges.count({edge.second, edge.first})) continue;
        const Vec3d a = point(edge.first), b = point(edge.second);
        const int ta = closed.texVertex(0.5 + a.x / across, 0.5 + a.y / across);
        const int tb = closed.texVertex(0.5 + b.x / across, 0.5 + b.y / across);
        closed.triangle(centre, closed.vertex(b), closed.vertex(a), BaseGroup, centreTex, tb, ta, EdgeBC);
    }
}

}  // namespace geometry::primitives
