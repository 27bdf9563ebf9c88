// The pyramid: a rectangular base and four triangular sides meeting at the
// apex above the base's centre.
#include <cmath>

#include "geometry/primitives/builders.h"
#include "geometry/primitives/grid.h"

namespace geometry::primitives {

// 0 width (X), 1 depth (Y), 2 height (Z), 3 width segs, 4 depth segs,
// 5 height segs, 6 genUVs.
void buildPyramid(const Parameters& p, PolyMesh& target, TextureV direction) {
    const double w = std::fabs(p.number(0, 0)) / 2, d = std::fabs(p.number(1, 0)) / 2;
    const double height = p.number(2, 0), h = std::fabs(height);
    const int ws = p.count(3, 1, 1, MaxSegments), ds = p.count(4, 1, 1, MaxSegments);
    const int hs = p.count(5, 1, 1, MaxSegments);
    Vector<double> x(static_cast<std::size_t>(ws) + 1), y(static_cast<std::size_t>(ds) + 1);
    for (int i = 0; i <= ws; ++i) x[static_cast<std::size_t>(i)] = i == ws ? w : -w + 2 * w * i / ws;
    for (int j = 0; j <= ds; ++j) y[static_cast<std::size_t>(j)] = j == ds ? d : -d + 2 * d * j / ds;

    MeshBuilder mesh(target, p.flag(6, false), direction);
    addGrid(
        mesh, ws, ds,
        [&](int i, int j) {
            return Vec3d{x[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(j)], 0};
        },
        2, true);
    // The sides, counter-clockwise round the base seen from above, each a
    // grid from its base edge (row 0) up to the apex (row hs, one vertex).
    // Edge points come from the base's own coordinate tables.
    auto edgePoint = [&](int side, int i) {
        const std::size_t n = static_cast<std::size_t>(i);
        switch (side) {
            case 0:
                return Vec3d{x[n], y.front(), 0};
            case 1:
                return Vec3d{x.back(), y[n], 0};
            case 2:
                return Vec3d{x[x.size() - 1 - n], y.back(), 0};
            default:
                return Vec3d{x.front(), y[y.size() - 1 - n], 0};
        }
    };
    for (int side = 0; side < 4; ++side) {
        addGrid(
            mesh, side % 2 == 0 ? ws : ds, hs,
            [&](int i, int k) {
                if (k == hs) return Vec3d{0, 0, h};
                const Vec3d e = edgePoint(side, i);
                const double t = static_cast<double>(k) / hs;
                return Vec3d{e.x * (1 - t), e.y * (1 - t), h * t};
            },
            4u << side, false);
    }
    if (height < 0) mesh.mirrorZ();
}

}  // namespace geometry::primitives
