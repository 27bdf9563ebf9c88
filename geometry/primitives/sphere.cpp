// The sphere: rings of latitude from pole to pole, or cut off below by the
// hemisphere parameter and closed there with a flat base.
#include <algorithm>
#include <cmath>

#include "geometry/primitives/builders.h"
#include "geometry/primitives/profile.h"

namespace geometry::primitives {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr uint32_t BaseGroup = 2, SliceStartGroup = 4, SliceEndGroup = 8;

}  // namespace

// 0 radius, 1 segs, 2 smooth, 3 hemisphere (0-1), 4 squash, 5 recenter,
// 6 genUVs, 7 sliceOn, 8 slice from, 9 slice to.
void buildSphere(const Parameters& p, PolyMesh& target, TextureV direction) {
    const double radius = std::fabs(p.number(0, 0));
    const int segments = p.count(1, 32, 4, MaxSegments);
    const uint32_t group = p.flag(2, true) ? 1 : 0;
    const double hemisphere = std::clamp(p.number(3, 0), 0.0, 0.999);
    const bool squash = p.flag(4, false);
    const bool recenter = p.flag(5, false);

    // The cut: a plane at height `cut`, the polar angle `cutAngle` from the top.
    const int rows = std::max(2, segments / 2);
    const bool cutOff = hemisphere > 0;
    const double cut = -radius + 2 * radius * hemisphere;
    const double cutAngle = cutOff ? std::acos(std::clamp(2 * hemisphere - 1, -1.0, 1.0)) : Pi;
    Profile profile;
    if (!cutOff) {
        for (int j = 0; j <= rows; ++j) {
            const double a = Pi * j / rows;
            const bool pole = j == 0 || j == rows;
            profile.push_back({pole ? 0 : radius * std::sin(a), radius * std::cos(a), group, 0});
        }
    } else {
        // Squashed, every ring is kept and spread over what is left; chopped,
        // the rings below the cut are dropped and the last one moves onto it.
        const int kept = squash ? rows : std::max(1, static_cast<int>(std::ceil(rows * cutAngle / Pi - 1e-9)));
        for (int j = 0; j <= kept; ++j) {
            const double a = squash ? cutAngle * j / rows : std::min(Pi * j / rows, cutAngle);
            const bool last = j == kept;
            profile.push_back(
                {j == 0 ? 0 : radius * std::sin(a), last ? cut : radius * std::cos(a), last ? BaseGroup : group, 0});
        }
        profile.push_back({0, cut, BaseGroup, 0});
    }
    assignOpenV(profile);

    LatheOptions options;
    options.sides = segments;
    options.slice = readSlice(p, 7, 8, 9);
    options.sliceStartGroup = SliceStartGroup;
    options.sliceEndGroup = SliceEndGroup;
    MeshBuilder mesh(target, p.flag(6, false), direction);
    buildLathe(mesh, options, [&](int) { return profile; });
    if (recenter) mesh.shiftZ(-(cutOff ? cut : -radius));
}

}  // namespace geometry::primitives
