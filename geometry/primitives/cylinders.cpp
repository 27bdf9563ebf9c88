// Cylinder, cone, tube and chamfered cylinder: straight walls turned about
// the Z axis, closed by flat caps, each with height segments along the wall
// and cap segments across the caps.
#include <algorithm>
#include <cmath>

#include "geometry/primitives/builders.h"
#include "geometry/primitives/profile.h"

namespace geometry::primitives {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr uint32_t TopGroup = 2, BottomGroup = 4, SliceStartGroup = 8, SliceEndGroup = 16;

struct Walls {
    double bottomRadius, topRadius, height;  // radii not negative; height may be
    int heightSegs, capSegs, sides;
    bool smooth;
    SliceRange slice;
    bool withTexture;
};

void solidOfRevolution(const Walls& w, Profile profile, bool closed, PolyMesh& target, TextureV direction) {
    if (closed) {
        assignClosedV(profile);
    } else {
        assignOpenV(profile);
    }
    LatheOptions options;
    options.sides = w.sides;
    options.slice = w.slice;
    options.closed = closed;
    options.sliceStartGroup = SliceStartGroup;
    options.sliceEndGroup = SliceEndGroup;
    MeshBuilder mesh(target, w.withTexture, direction);
    buildLathe(mesh, options, [&](int) { return profile; });
    if (w.height < 0) mesh.mirrorZ();
}

// Top centre, out across the top cap, down the wall, in across the bottom.
void cone(const Walls& w, PolyMesh& target, TextureV direction) {
    const double h = std::fabs(w.height);
    const uint32_t wall = w.smooth ? 1 : 0;
    Profile profile;
    for (int i = 0; i < w.capSegs; ++i) profile.push_back({w.topRadius * i / w.capSegs, h, TopGroup, 0});
    for (int j = 0; j < w.heightSegs; ++j) {
        const double t = static_cast<double>(j) / w.heightSegs;
        profile.push_back({w.topRadius + (w.bottomRadius - w.topRadius) * t, h - h * t, wall, 0});
    }
    for (int i = w.capSegs; i >= 0; --i) profile.push_back({w.bottomRadius * i / w.capSegs, 0, BottomGroup, 0});
    solidOfRevolution(w, std::move(profile), false, target, direction);
}

}  // namespace

// 0 radius, 1 height, 2 height segs, 3 cap segs, 4 sides, 5 smooth,
// 6 sliceOn, 7 slice from, 8 slice to, 9 genUVs.
void buildCylinder(const Parameters& p, PolyMesh& mesh, TextureV direction) {
    const double radius = std::fabs(p.number(0, 0));
    cone({radius, radius, p.number(1, 0), p.count(2, 5, 1, MaxSegments), p.count(3, 1, 1, MaxSegments),
          p.count(4, 18, 3, MaxSegments), p.flag(5, true), readSlice(p, 6, 7, 8), p.flag(9, false)},
         mesh, direction);
}

// 0 radius 1 (base), 1 radius 2 (top), 2 height, 3 height segs, 4 cap segs,
// 5 sides, 6 smooth, 7 sliceOn, 8 slice from, 9 slice to, 10 genUVs.
void buildCone(const Parameters& p, PolyMesh& mesh, TextureV direction) {
    cone({std::fabs(p.number(0, 0)), std::fabs(p.number(1, 0)), p.number(2, 0), p.count(3, 5, 1, MaxSegments),
          p.count(4, 1, 1, MaxSegments), p.count(5, 24, 3, MaxSegments), p.flag(6, true), readSlice(p, 7, 8, 9),
          p.flag(10, false)},
         mesh, direction);
}

// 0 radius 1, 1 radius 2, 2 height, 3 height segs, 4 cap segs, 5 sides,
// 6 smooth, 7 sliceOn, 8 slice from, 9 slice to, 10 genUVs. The larger
// radius is the outside.
void buildTube(const Parameters& p, PolyMesh& mesh, TextureV direction) {
    const double r1 = std::fabs(p.number(0, 0)), r2 = std::fabs(p.number(1, 0));
    const Walls w{std::max(r1, r2),
                  std::min(r1, r2),
                  p.number(2, 0),
                  p.count(3, 5, 1, MaxSegments),
                  p.count(4, 1, 1, MaxSegments),
                  p.count(5, 18, 3, MaxSegments),
                  p.flag(6, true),
                  readSlice(p, 7, 8, 9),
                  p.flag(10, false)};
    const double outer = w.bottomRadius, inner = w.topRadius, h = std::fabs(w.height);
    const uint32_t wall = w.smooth ? 1 : 0;
    // Down the outside, in across the bottom, up the inside, out across the top.
    Profile profile;
    for (int j = 0; j < w.heightSegs; ++j) profile.push_back({outer, h - h * j / w.heightSegs, wall, 0});
    for (int i = 0; i < w.capSegs; ++i) {
        profile.push_back({outer - (outer - inner) * i / w.capSegs, 0, BottomGroup, 0});
    }
    for (int j = 0; j < w.heightSegs; ++j) profile.push_back({inner, h * j / w.heightSegs, wall, 0});
    for (int i = 0; i < w.capSegs; ++i) profile.push_back({inner + (outer - inner) * i / w.capSegs, h, TopGroup, 0});
    solidOfRevolution(w, std::move(profile), true, mesh, direction);
}

// 0 radius, 1 height, 2 fillet, 3 height segs, 4 fillet segs, 5 sides,
// 6 cap segs, 7 smooth, 8 sliceOn, 9 slice from, 10 slice to, 11 genUVs: the
// order of the twelve values of the sample files' blocks, whose counts and
// lengths fall where these names have them.
void buildChamferCylinder(const Parameters& p, PolyMesh& mesh, TextureV direction) {
    const double radius = std::fabs(p.number(0, 0)), height = p.number(1, 0), h = std::fabs(height);
    const double fillet = std::clamp(p.number(2, 0), 0.0, std::min(radius, h / 2));
    const int heightSegs = p.count(3, 1, 1, MaxSegments), filletSegs = p.count(4, 1, 1, MaxSegments);
    const Walls w{radius,
                  radius,
                  height,
                  heightSegs,
                  p.count(6, 1, 1, MaxSegments),
                  p.count(5, 12, 3, MaxSegments),
                  p.flag(7, true),
                  readSlice(p, 8, 9, 10),
                  p.flag(11, false)};
    const uint32_t wall = w.smooth ? 1 : 0;
    const double inner = radius - fillet;
    // Out across the top to the fillet, round it, down the wall, round the
    // lower fillet, in across the bottom.
    Profile profile;
    for (int i = 0; i < w.capSegs; ++i) profile.push_back({inner * i / w.capSegs, h, TopGroup, 0});
    for (int s = 0; s < filletSegs; ++s) {
        const double a = Pi / 2 * s / filletSegs;
        profile.push_back({inner + fillet * std::sin(a), h - fillet + fillet * std::cos(a), wall, 0});
    }
    for (int j = 0; j < heightSegs; ++j) {
        profile.push_back({radius, h - fillet - (h - 2 * fillet) * j / heightSegs, wall, 0});
    }
    for (int s = 0; s < filletSegs; ++s) {
        const double a = Pi / 2 * s / filletSegs;
        profile.push_back({inner + fillet * std::cos(a), fillet - fillet * std::sin(a), wall, 0});
    }
    for (int i = w.capSegs; i >= 0; --i) profile.push_back({inner * i / w.capSegs, 0, BottomGroup, 0});
    solidOfRevolution(w, std::move(profile), false, mesh, direction);
}

}  // namespace geometry::primitives
