// The box, and the box that stands in for types that cannot be built.
#include <algorithm>
#include <cmath>

#include "geometry/primitives/builders.h"
#include "geometry/primitives/grid.h"

namespace geometry::primitives {

namespace {

// Coordinates from `from` to `to` in `segments` equal steps. Every side that
// meets at an edge takes its coordinates from the same table, so the sides
// share the edge's vertices exactly.
Vector<double> steps(double from, double to, int segments) {
    Vector<double> s(static_cast<std::size_t>(segments) + 1);
    for (int i = 0; i <= segments; ++i) s[static_cast<std::size_t>(i)] = from + (to - from) * i / segments;
    s[static_cast<std::size_t>(segments)] = to;
    return s;
}

struct BoxSize {
    double width, length, height;  // X, Y, Z; the height may be negative
    int widthSegs, lengthSegs, heightSegs;
};

void boxMesh(const BoxSize& size, PolyMesh& target, bool withTexture, TextureV direction) {
    MeshBuilder mesh(target, withTexture, direction);
    const Vector<double> x = steps(-std::fabs(size.width) / 2, std::fabs(size.width) / 2, size.widthSegs);
    const Vector<double> y = steps(-std::fabs(size.length) / 2, std::fabs(size.length) / 2, size.lengthSegs);
    const Vector<double> z = steps(0, std::fabs(size.height), size.heightSegs);
    const int nx = size.widthSegs, ny = size.lengthSegs, nz = size.heightSegs;
    auto at = [](const Vector<double>& s, int i) { return s[static_cast<std::size_t>(i)]; };
    // Bottom, top, front, right, back, left: each side its own smoothing group.
    addGrid(
        mesh, nx, ny,
        [&](int i, int j) {
            return Vec3d{at(x, i), at(y, j), z.front()};
        },
        2, true);
    addGrid(
        mesh, nx, ny,
        [&](int i, int j) {
            return Vec3d{at(x, i), at(y, j), z.back()};
        },
        4, false);
    addGrid(
        mesh, nx, nz,
        [&](int i, int k) {
            return Vec3d{at(x, i), y.front(), at(z, k)};
        },
        8, false);
    addGrid(
        mesh, ny, nz,
        [&](int j, int k) {
            return Vec3d{x.back(), at(y, j), at(z, k)};
        },
        16, false);
    addGrid(
        mesh, nx, nz,
        [&](int i, int k) {
            return Vec3d{at(x, i), y.back(), at(z, k)};
        },
        32, true);
    addGrid(
        mesh, ny, nz,
        [&](int j, int k) {
            return Vec3d{x.front(), at(y, j), at(z, k)};
        },
        64, true);
    if (size.height < 0) mesh.mirrorZ();
}

}  // namespace

// 0 length (Y), 1 width (X), 2 height (Z), 3 width segs, 4 length segs,
// 5 height segs, 6 genUVs.
void buildBox(const Parameters& p, PolyMesh& mesh, TextureV direction) {
    const BoxSize size{p.number(1, 0),
                       p.number(0, 0),
                       p.number(2, 0),
                       p.count(3, 1, 1, MaxSegments),
                       p.count(4, 1, 1, MaxSegments),
                       p.count(5, 1, 1, MaxSegments)};
    boxMesh(size, mesh, p.flag(6, false), direction);
}

PrimitiveBuild buildPlaceholderBox(const Parameters& p, PolyMesh& mesh) {
    double size = 0;
    for (int32_t i = 0; i < 3; ++i) size = std::max(size, std::fabs(p.number(i, 0)));
    if (size == 0) size = 1;
    boxMesh({size, size, size, 1, 1, 1}, mesh, false, TextureV::Up);
    PrimitiveBuild built;
    built.placeholder = true;
    return built;
}

}  // namespace geometry::primitives
