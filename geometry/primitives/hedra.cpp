// Hedra: the polyhedra families. Families 0 to 2 are the Wythoff solids of
// the tetrahedron's, the octahedron's and the icosahedron's symmetry: P and
// Q move the generating vertex across the fundamental triangle, from a
// vertex of the base solid (P = Q = 0) towards the centre of its face (P = 1:
// the dual solid) and towards the middle of its edge (Q = 1: the rectified
// solid). The solid is the convex hull of that vertex's images under the
// symmetry group. The star families and the axis scales are not built.
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "geometry/primitives/builders.h"
#include "geometry/primitives/solids.h"

namespace geometry::primitives {

namespace {

using Matrix3 = std::array<double, 9>;

constexpr double Pi = 3.14159265358979323846;
constexpr double Tolerance = 1e-7;

double dot(const Vec3d& a, const Vec3d& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3d cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3d minus(const Vec3d& a, const Vec3d& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3d times(const Matrix3& m, const Vec3d& v) {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

Matrix3 times(const Matrix3& a, const Matrix3& b) {
    Matrix3 r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            for (int k = 0; k < 3; ++k) r[static_cast<std::size_t>(i * 3 + j)] += a[i * 3 + k] * b[k * 3 + j];
        }
    }
    return r;
}

// The mirror in the plane through the origin, a and b.
Matrix3 mirror(const Vec3d& a, const Vec3d& b) {
    const Vec3d n = normalized(cross(a, b));
    const double c[3] = {n.x, n.y, n.z};
    Matrix3 m{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) m[static_cast<std::size_t>(i * 3 + j)] = (i == j ? 1 : 0) - 2 * c[i] * c[j];
    }
    return m;
}

bool near(const Matrix3& a, const Matrix3& b) {
    for (std::size_t i = 0; i < 9; ++i) {
        if (std::fabs(a[i] - b[i]) > 1e-6) return false;
    }
    return true;
}

// The group the three mirrors generate: 24, 48 or 120 elements.
Vector<Matrix3> group(const std::array<Matrix3, 3>& mirrors) {
    Vector<Matrix3> elements{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    for (std::size_t at = 0; at < elements.size() && elements.size() <= 120; ++at) {
        for (const Matrix3& m : mirrors) {
            const Matrix3 next = times(m, elements[at]);
            if (std::none_of(elements.begin(), elements.end(), [&](const Matrix3& e) { return near(e, next); })) {
                elements.push_back(next);
            }
        }
    }
    return elements;
}

Vector<Vec3d> orbit(const Vector<Matrix3>& elements, const Vec3d& g) {
    Vector<Vec3d> points;
    for (const Matrix3& e : elements) {
        const Vec3d p = times(e, g);
        const bool known = std::any_of(points.begin(), points.end(), [&](const Vec3d& q) {
            const Vec3d d = minus(p, q);
            return dot(d, d) < 1e-12;
        });
        if (!known) points.push_back(p);
    }
    return points;
}

// The faces of the convex hull of points on the unit sphere: every plane
// through three of them with none beyond, its points in turn.
Vector<Vector<int>> hullFaces(const Vector<Vec3d>& p) {
    Vector<Vector<int>> faces;
    Vector<Vec3d> normals;
    const int n = static_cast<int>(p.size());
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            for (int k = j + 1; k < n; ++k) {
                Vec3d normal = cross(minus(p[static_cast<std::size_t>(j)], p[static_cast<std::size_t>(i)]),
                                     minus(p[static_cast<std::size_t>(k)], p[static_cast<std::size_t>(i)]));
                if (dot(normal, normal) < 1e-18) continue;
                normal = normalized(normal);
                double d = dot(normal, p[static_cast<std::size_t>(i)]);
                if (d < 0) {
                    normal = {-normal.x, -normal.y, -normal.z};
                    d = -d;
                }
                if (std::any_of(normals.begin(), normals.end(),
                                [&](const Vec3d& m) { return dot(m, normal) > 1 - 1e-9; })) {
                    continue;
                }
                if (std::any_of(p.begin(), p.end(), [&](const Vec3d& q) { return dot(normal, q) > d + Tolerance; })) {
                    continue;
                }
                // The face's points, in turn counter-clockwise about its normal.
                Vector<int> face;
                Vec3d centre{0, 0, 0};
                for (int q = 0; q < n; ++q) {
                    if (std::fabs(dot(normal, p[static_cast<std::size_t>(q)]) - d) <= Tolerance) {
                        face.push_back(q);
                        centre = {centre.x + p[static_cast<std::size_t>(q)].x,
                                  centre.y + p[static_cast<std::size_t>(q)].y,
                                  centre.z + p[static_cast<std::size_t>(q)].z};
                    }
                }
                const double count = static_cast<double>(face.size());
                centre = {centre.x / count, centre.y / count, centre.z / count};
                const Vec3d u = normalized(minus(p[static_cast<std::size_t>(face[0])], centre));
                const Vec3d v = cross(normal, u);
                Vector<double> turn;
                for (int q : face) {
                    const Vec3d r = minus(p[static_cast<std::size_t>(q)], centre);
                    const double t = std::atan2(dot(r, v), dot(r, u));
                    turn.push_back(t < 0 ? t + 2 * Pi : t);
                }
                // A few corners: an insertion sort on the stored angles, which
                // no excess precision can lead out of bounds.
                for (std::size_t x = 2; x < face.size(); ++x) {
                    for (std::size_t y = x; y > 1 && turn[y] < turn[y - 1]; --y) {
                        std::swap(turn[y], turn[y - 1]);
                        std::swap(face[y], face[y - 1]);
                    }
                }
                normals.push_back(normal);
                faces.push_back(std::move(face));
            }
        }
    }
    return faces;
}

}  // namespace

// 0 radius, 1 family, 2 P, 3 Q, 4-6 scale P/Q/R, 7 vertices mode, 8 genUVs.
PrimitiveBuild buildHedra(const Parameters& p, PolyMesh& target, TextureV direction) {
    const int family = p.choice(1, 0, 4);
    if (family > 2) {
        PrimitiveBuild stand = buildPlaceholderBox(p, target);
        stand.note = "star families are not built";
        return stand;
    }
    const double radius = std::fabs(p.number(0, 0));
    double wp = std::clamp(p.number(2, 0), 0.0, 1.0), wq = std::clamp(p.number(3, 0), 0.0, 1.0);
    if (wp + wq > 1) {
        const double sum = wp + wq;
        wp /= sum;
        wq /= sum;
    }
    const Solid solid = family == 0 ? tetrahedron() : family == 1 ? octahedron() : icosahedron();
    // The fundamental triangle: a vertex, the centre of a face at it, the
    // middle of an edge of that face at it.
    const auto& f = solid.faces.front();
    const Vec3d a = solid.vertices[static_cast<std::size_t>(f[0])], b1 = solid.vertices[static_cast<std::size_t>(f[1])],
                c1 = solid.vertices[static_cast<std::size_t>(f[2])];
    const Vec3d faceCentre = normalized({a.x + b1.x + c1.x, a.y + b1.y + c1.y, a.z + b1.z + c1.z});
    const Vec3d edgeMiddle = normalized({a.x + b1.x, a.y + b1.y, a.z + b1.z});
    const double wa = 1 - wp - wq;
    const Vec3d generator =
        normalized({wa * a.x + wp * faceCentre.x + wq * edgeMiddle.x, wa * a.y + wp * faceCentre.y + wq * edgeMiddle.y,
                    wa * a.z + wp * faceCentre.z + wq * edgeMiddle.z});
    const Vector<Vec3d> points =
        orbit(group({mirror(a, faceCentre), mirror(faceCentre, edgeMiddle), mirror(edgeMiddle, a)}), generator);

    MeshBuilder mesh(target, p.flag(8, false), direction);
    for (const Vector<int>& face : hullFaces(points)) {
        Vector<int> v, t;
        for (int q : face) {
            const Vec3d& u = points[static_cast<std::size_t>(q)];
            v.push_back(mesh.vertex(Vec3d{u.x * radius, u.y * radius, u.z * radius}));
            t.push_back(mesh.texVertex(0.5 + u.x / 2, 0.5 + u.y / 2));
        }
        // A fan from the first corner; only the polygon's outline is visible.
        for (std::size_t k = 1; k + 1 < v.size(); ++k) {
            const uint8_t edges =
                static_cast<uint8_t>(EdgeBC | (k == 1 ? EdgeAB : 0) | (k + 2 == v.size() ? EdgeCA : 0));
            mesh.triangle(v[0], v[k], v[k + 1], 0, t[0], t[k], t[k + 1], edges);
        }
    }
    PrimitiveBuild built;
    for (int32_t scale = 4; scale <= 6; ++scale) {
        if (p.number(scale, 100) != 100) built.note = "the axis scales are not applied";
    }
    return built;
}

}  // namespace geometry::primitives
