#include "geometry/primitives/solids.h"

#include <cmath>

namespace geometry::primitives {

namespace {

Vec3d sub(const Vec3d& a, const Vec3d& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3d cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Turns every face whose normal points inwards.
Solid outward(Solid s) {
    for (auto& f : s.faces) {
        const Vec3d& a = s.vertices[static_cast<std::size_t>(f[0])];
        const Vec3d& b = s.vertices[static_cast<std::size_t>(f[1])];
        const Vec3d& c = s.vertices[static_cast<std::size_t>(f[2])];
        const Vec3d n = cross(sub(b, a), sub(c, a));
        if (n.x * (a.x + b.x + c.x) + n.y * (a.y + b.y + c.y) + n.z * (a.z + b.z + c.z) < 0) std::swap(f[1], f[2]);
    }
    return s;
}

}  // namespace

Vec3d normalized(const Vec3d& v) {
    const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 0 ? Vec3d{v.x / l, v.y / l, v.z / l} : v;
}

Solid tetrahedron() {
    const double r = std::sqrt(8.0) / 3, z = -1.0 / 3;
    Solid s;
    s.vertices = {{0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        const double a = 2 * 3.14159265358979323846 * i / 3;
        s.vertices.push_back({r * std::cos(a), r * std::sin(a), z});
    }
    s.faces = {{0, 1, 2}, {0, 2, 3}, {0, 3, 1}, {1, 3, 2}};
    return outward(s);
}

Solid octahedron() {
    Solid s;
    s.vertices = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    s.faces = {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 4, 1}, {5, 2, 1}, {5, 3, 2}, {5, 4, 3}, {5, 1, 4}};
    return outward(s);
}

Solid icosahedron() {
    // A vertex at each pole and two rings of five, turned by 36 degrees.
    const double z = 1 / std::sqrt(5.0), r = 2 / std::sqrt(5.0);
    Solid s;
    s.vertices.push_back({0, 0, 1});
    for (int i = 0; i < 5; ++i) {
        const double a = 2 * 3.14159265358979323846 * i / 5;
        s.vertices.push_back({r * std::cos(a), r * std::sin(a), z});
    }
    for (int i = 0; i < 5; ++i) {
        const double a = 2 * 3.14159265358979323846 * (i + 0.5) / 5;
        s.vertices.push_back({r * std::cos(a), r * std::sin(a), -z});
    }
    s.vertices.push_back({0, 0, -1});
    for (int i = 0; i < 5; ++i) {
        const int u = 1 + i, u2 = 1 + (i + 1) % 5, l = 6 + i, l2 = 6 + (i + 1) % 5;
        s.faces.push_back({0, u, u2});
        s.faces.push_back({u, l, u2});
        s.faces.push_back({u2, l, l2});
        s.faces.push_back({11, l2, l});
    }
    return outward(s);
}

}  // namespace geometry::primitives
