// A spline shape as MAX stores one: splines of Bezier knots, each knot with
// its position and absolute in and out handles, open or closed, and the
// interpolation settings that turn them into points.
#pragma once

#include <cstdint>

#include "geometry/memory.h"
#include "geometry/vec3.h"

namespace geometry {

enum class KnotType : uint8_t { Smooth = 0, Corner = 1, Bezier = 2, BezierCorner = 3 };

struct Knot {
    KnotType type = KnotType::Corner;
    Vec3 position{}, in{}, out{};  // handles are absolute positions
};

struct Spline {
    Vector<Knot> knots;
    bool closed = false;
    uint32_t segmentCount() const {
        const auto n = static_cast<uint32_t>(knots.size());
        return n < 2 ? 0 : closed ? n : n - 1;
    }
};

struct Shape {
    Vector<Spline> splines;
    uint32_t steps = 6;  // points between two knots
    bool optimize = false;
    bool adaptive = false;
};

// The points of one interpolated spline.
struct Polyline {
    Vector<Vec3> points;
    bool closed = false;
};

// The cubic Bezier segment from knot a to knot b at t in [0, 1].
Vec3 segmentPoint(const Knot& a, const Knot& b, float t);

// Each spline as points: for every segment its first knot and steps points
// between, evenly in the curve parameter, and the last knot of an open
// spline. Splines with no segment give a single point or none.
void interpolate(const Shape& shape, Vector<Polyline>& lines);

}  // namespace geometry
