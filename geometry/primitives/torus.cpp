// The torus: a circular section swept round the ring. Rotation turns the
// section's vertices about the section's centre; twist turns them further,
// progressively, round the ring.
#include <cmath>

#include "geometry/primitives/builders.h"
#include "geometry/primitives/profile.h"

namespace geometry::primitives {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr uint32_t SliceStartGroup = 8, SliceEndGroup = 16;

enum Smoothing { SmoothNone = 0, SmoothSides = 1, SmoothSegments = 2, SmoothAll = 3 };

// Alternating groups, so that neighbouring bands never share one (a third
// group where an odd count closes the ring).
uint32_t bandGroup(int band, int bands) {
    if (bands % 2 == 1 && band == bands - 1) return 4;
    return band % 2 == 0 ? 1u : 2u;
}

}  // namespace

// 0 radius 1 (ring), 1 radius 2 (section), 2 rotation, 3 twist, 4 segs,
// 5 sides, 6 smooth (0 none, 1 sides: smooth round the section, faceted
// along the ring; 2 segments: the other way round; 3 all), 7 sliceOn,
// 8 slice from, 9 slice to, 10 genUVs.
void buildTorus(const Parameters& p, PolyMesh& target, TextureV direction) {
    const double ring = std::fabs(p.number(0, 0)), section = std::fabs(p.number(1, 0));
    const double rotation = p.number(2, 0) * Pi / 180, twist = p.number(3, 0) * Pi / 180;
    const int segments = p.count(4, 24, 3, MaxSegments);
    const int sides = p.count(5, 12, 3, MaxSegments);
    const int smoothing = p.choice(6, SmoothAll, SmoothAll);

    LatheOptions options;
    options.sides = segments;
    options.slice = readSlice(p, 7, 8, 9);
    options.closed = true;
    options.sliceStartGroup = SliceStartGroup;
    options.sliceEndGroup = SliceEndGroup;
    MeshBuilder mesh(target, p.flag(10, false), direction);
    buildLathe(mesh, options, [&](int column) {
        Profile profile;
        const double turn = rotation + twist * column / segments;
        for (int i = 0; i < sides; ++i) {
            const double a = 2 * Pi * i / sides + turn;
            uint32_t group = 0;
            if (smoothing == SmoothAll) group = 1;
            if (smoothing == SmoothSides) group = bandGroup(column, segments);
            if (smoothing == SmoothSegments) group = bandGroup(i, sides);
            // Clockwise in the (r, z) plane: down the outside first.
            profile.push_back({ring + section * std::cos(a), -section * std::sin(a), group, 0});
        }
        assignClosedV(profile);
        return profile;
    });
}

}  // namespace geometry::primitives
