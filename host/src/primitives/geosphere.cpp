// The geodesic sphere: a regular solid whose faces are split into a
// triangular grid and pushed out onto the sphere.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>

#include "builders.h"
#include "solids.h"

namespace refhost::primitives {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr uint32_t BaseGroup = 2;

struct Triangle {
    Vec3 a, b, c;
};

// The point with integer weights (wa, wb, wc) / n over the corners of a base
// face. The terms are summed in the order of the corners' numbers, so that a
// point on an edge comes out bit for bit the same from both faces at it.
Vec3 gridPoint(const Solid& s, const std::array<int, 3>& face, const int weights[3], int n) {
    std::array<std::pair<int, int>, 3> terms{{{face[0], weights[0]}, {face[1], weights[1]}, {face[2], weights[2]}}};
    std::sort(terms.begin(), terms.end());
    Vec3 sum{0, 0, 0};
    for (const auto& [corner, weight] : terms) {
        const Vec3& v = s.vertices[static_cast<std::size_t>(corner)];
        sum = {sum.x + v.x * weight, sum.y + v.y * weight, sum.z + v.z * weight};
    }
    return normalized({sum.x / n, sum.y / n, sum.z / n});
}

std::vector<Triangle> subdivide(const Solid& s, int n, double radius) {
    std::vector<Triangle> out;
    for (const auto& face : s.faces) {
        auto at = [&](int i, int j) {
            const int w[3] = {n - i - j, i, j};
            const Vec3 p = gridPoint(s, face, w, n);
            return Vec3{p.x * radius, p.y * radius, p.z * radius};
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

int sphericalTex(MeshBuilder& mesh, const Vec3& p, double radius) {
    const double u = 0.5 + std::atan2(p.y, p.x) / (2 * Pi);
    const double v = radius > 0 ? 0.5 + std::asin(std::clamp(p.z / radius, -1.0, 1.0)) / Pi : 0.5;
    return mesh.texVertex(u, v);
}

}  // namespace

// 0 radius, 1 segs, 2 base type (0 tetra, 1 octa, 2 icosa), 3 hemisphere,
// 4 smooth, 5 base to pivot, 6 genUVs.
PrimitiveMesh buildGeoSphere(const Parameters& p) {
    const double radius = std::fabs(p.number(0, 0));
    const int segments = p.count(1, 4, 1, MaxGeodesicSegments);
    const int base = p.choice(2, 2, 2);
    const bool hemisphere = p.flag(3, false);
    const uint32_t group = p.flag(4, true) ? 1 : 0;
    const bool baseToPivot = p.flag(5, false);
    const Solid solid = base == 0 ? tetrahedron() : base == 1 ? octahedron() : icosahedron();

    MeshBuilder mesh(p.flag(6, false));
    for (Triangle t : subdivide(solid, segments, radius)) {
        if (hemisphere) {
            // The upper half: faces whose centre is not below the equator,
            // pressed flat where they reach under it.
            if (t.a.z + t.b.z + t.c.z < -1e-9 * radius) continue;
            for (Vec3* v : {&t.a, &t.b, &t.c}) v->z = std::max(v->z, 0.0);
        }
        mesh.triangle(mesh.vertex(t.a), mesh.vertex(t.b), mesh.vertex(t.c), group, sphericalTex(mesh, t.a, radius),
                      sphericalTex(mesh, t.b, radius), sphericalTex(mesh, t.c, radius));
    }
    if (hemisphere) {
        // Close the open rim with a fan from the centre of the base.
        PrimitiveMesh open = mesh.finish();
        MeshBuilder closed(p.flag(6, false));
        std::map<std::pair<int, int>, int> edges;
        for (const HostFace& f : open.faces) {
            const int v[3] = {f.a, f.b, f.c};
            for (int k = 0; k < 3; ++k) ++edges[{v[k], v[(k + 1) % 3]}];
        }
        auto point = [&](int i) {
            const Point3& q = open.vertices[static_cast<std::size_t>(i)];
            return Vec3{q.x, q.y, q.z};
        };
        for (std::size_t f = 0; f < open.faces.size(); ++f) {
            const HostFace& face = open.faces[f];
            const Vec3 a = point(face.a), b = point(face.b), c = point(face.c);
            closed.triangle(closed.vertex(a), closed.vertex(b), closed.vertex(c), open.smoothing[f],
                            sphericalTex(closed, a, radius), sphericalTex(closed, b, radius),
                            sphericalTex(closed, c, radius));
        }
        const int centre = closed.vertex({0, 0, 0});
        const int centreTex = closed.texVertex(0.5, 0.5);
        const double across = radius > 0 ? 2 * radius : 1;
        for (const auto& [edge, uses] : edges) {
            if (uses != 1 || edges.count({edge.second, edge.first})) continue;
            const Vec3 a = point(edge.first), b = point(edge.second);
            closed.triangle(centre, closed.vertex(b), closed.vertex(a), BaseGroup, centreTex,
                            closed.texVertex(0.5 + b.x / across, 0.5 + b.y / across),
                            closed.texVertex(0.5 + a.x / across, 0.5 + a.y / across), FaceEdgeBC);
        }
        return closed.finish();
    }
    if (baseToPivot) mesh.shiftZ(radius);
    return mesh.finish();
}

}  // namespace refhost::primitives
