#include "geometry/shape.h"

namespace geometry {

Vec3 segmentPoint(const Knot& a, const Knot& b, float t) {
    const float s = 1.0f - t;
    const float w0 = s * s * s, w1 = 3 * s * s * t, w2 = 3 * s * t * t, w3 = t * t * t;
    return a.position * w0 + a.out * w1 + b.in * w2 + b.position * w3;
}

void interpolate(const Shape& shape, Vector<Polyline>& lines) {
    lines.clear();
    for (const Spline& spline : shape.splines) {
        Polyline line;
        line.closed = spline.closed;
        const uint32_t segments = spline.segmentCount();
        const auto n = static_cast<uint32_t>(spline.knots.size());
        for (uint32_t s = 0; s < segments; ++s) {
            const Knot& a = spline.knots[s];
            const Knot& b = spline.knots[(s + 1) % n];
            line.points.push_back(a.position);
            for (uint32_t k = 1; k <= shape.steps; ++k) {
                line.points.push_back(segmentPoint(a, b, static_cast<float>(k) / static_cast<float>(shape.steps + 1)));
            }
        }
        if (n > 0 && !(spline.closed && segments > 0)) line.points.push_back(spline.knots[n - 1].position);
        lines.push_back(std::move(line));
    }
}

}  // namespace geometry
