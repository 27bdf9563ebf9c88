// The chamfer box: a box whose edges and corners are rounded with a fillet.
//
// Each side is a grid laid on the box that encloses the rounded one. A grid
// point p is moved onto the rounded surface: q is p clamped to the inner box
// (the box less the fillet on every side), and the point becomes
// q + fillet * (p - q) / |p - q|. The grid's stations along each axis are
// placed so that the fillet's rows fall at equal angles; each side takes the
// rows up to 45 degrees, where it meets its neighbour on the enclosing box's
// edge (an odd fillet segment count therefore gains that row).
#include <algorithm>
#include <cmath>

#include "geometry/primitives/builders.h"
#include "geometry/primitives/grid.h"

namespace geometry::primitives {

namespace {

constexpr double Pi = 3.14159265358979323846;

// Stations along one axis: the fillet rows, the flat part, the fillet rows.
Vector<double> stations(double inner, double fillet, int segments, int filletSegments) {
    Vector<double> beyond;  // offsets past the flat part, rising to the fillet
    if (fillet > 0) {
        for (int s = 1; s <= filletSegments; ++s) {
            const double angle = Pi / 2 * s / filletSegments;
            if (angle < Pi / 4 - 1e-9) beyond.push_back(fillet * std::tan(angle));
        }
        beyond.push_back(fillet);
    }
    Vector<double> out;
    for (auto it = beyond.rbegin(); it != beyond.rend(); ++it) out.push_back(-inner - *it);
    for (int i = 0; i <= segments; ++i) out.push_back(-inner + 2 * inner * i / segments);
    out.back() = inner;
    for (double d : beyond) out.push_back(inner + d);
    return out;
}

}  // namespace

// 0 length (Y), 1 width (X), 2 height (Z), 3 fillet, 4 length segs,
// 5 width segs, 6 height segs, 7 fillet segs, 8 genUVs, 9 smooth.
void buildChamferBox(const Parameters& p, PolyMesh& target, TextureV direction) {
    const double half[3] = {std::fabs(p.number(1, 0)) / 2, std::fabs(p.number(0, 0)) / 2,
                            std::fabs(p.number(2, 0)) / 2};
    const double fillet = std::clamp(p.number(3, 0), 0.0, std::min({half[0], half[1], half[2]}));
    const int segments[3] = {p.count(5, 1, 1, MaxSegments), p.count(4, 1, 1, MaxSegments),
                             p.count(6, 1, 1, MaxSegments)};
    const int filletSegments = p.count(7, 3, 1, MaxSegments);
    const uint32_t group = p.flag(9, true) ? 1 : 0;

    double inner[3];
    Vector<double> s[3];
    for (int a = 0; a < 3; ++a) {
        inner[a] = half[a] - fillet;
        s[a] = stations(inner[a], fillet, segments[a], filletSegments);
    }
    auto round = [&](double x, double y, double z) {
        const double pt[3] = {x, y, z};
        double q[3], d[3], length = 0;
        for (int a = 0; a < 3; ++a) {
            q[a] = std::clamp(pt[a], -inner[a], inner[a]);
            d[a] = pt[a] - q[a];
            length += d[a] * d[a];
        }
        length = std::sqrt(length);
        if (length == 0) return Vec3d{x, y, z + half[2]};
        const double k = fillet / length;
        // The box stands on its base: z from 0 to the height.
        return Vec3d{q[0] + d[0] * k, q[1] + d[1] * k, q[2] + d[2] * k + half[2]};
    };
    auto at = [&](int axis, int i) { return s[axis][static_cast<std::size_t>(i)]; };
    const int n[3] = {static_cast<int>(s[0].size()) - 1, static_cast<int>(s[1].size()) - 1,
                      static_cast<int>(s[2].size()) - 1};
    const double lo[3] = {s[0].front(), s[1].front(), s[2].front()};
    const double hi[3] = {s[0].back(), s[1].back(), s[2].back()};

    MeshBuilder mesh(target, p.flag(8, false), direction);
    addGrid(
        mesh, n[0], n[1], [&](int i, int j) { return round(at(0, i), at(1, j), lo[2]); }, group, true);
    addGrid(
        mesh, n[0], n[1], [&](int i, int j) { return round(at(0, i), at(1, j), hi[2]); }, group, false);
    addGrid(
        mesh, n[0], n[2], [&](int i, int k) { return round(at(0, i), lo[1], at(2, k)); }, group, false);
    addGrid(
        mesh, n[1], n[2], [&](int j, int k) { return round(hi[0], at(1, j), at(2, k)); }, group, false);
    addGrid(
        mesh, n[0], n[2], [&](int i, int k) { return round(at(0, i), hi[1], at(2, k)); }, group, true);
    addGrid(
        mesh, n[1], n[2], [&](int j, int k) { return round(lo[0], at(1, j), at(2, k)); }, group, true);
    if (p.number(2, 0) < 0) mesh.mirrorZ();
}

}  // namespace geometry::primitives
