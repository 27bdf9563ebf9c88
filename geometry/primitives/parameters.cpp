#include "geometry/primitives/parameters.h"

#include <algorithm>
#include <cmath>

namespace geometry::primitives {

namespace {

constexpr double Pi = 3.14159265358979323846;

}  // namespace

double Parameters::number(int32_t index, double fallback) const {
    const ParameterValue* v = values_.find(index);
    if (!v) return fallback;
    const double d = v->isFloat ? static_cast<double>(v->number) : static_cast<double>(v->integer);
    return std::isfinite(d) ? d : fallback;
}

int Parameters::count(int32_t index, int fallback, int low, int high) const {
    const double d = number(index, fallback);
    if (d <= low) return low;
    if (d >= high) return high;
    return static_cast<int>(std::lround(d));
}

bool Parameters::flag(int32_t index, bool fallback) const {
    return number(index, fallback ? 1 : 0) != 0;
}

int Parameters::choice(int32_t index, int fallback, int high) const {
    const double d = number(index, fallback);
    if (d < 0 || d > high || d != std::floor(d)) return fallback;
    return static_cast<int>(d);
}

SliceRange readSlice(const Parameters& p, int32_t onIndex, int32_t fromIndex, int32_t toIndex) {
    SliceRange s;
    s.on = p.flag(onIndex, false);
    if (!s.on) {
        s.sweep = 2 * Pi;
        return s;
    }
    const double from = p.number(fromIndex, 0);
    const double to = p.number(toIndex, 0);
    double sweep = std::fmod(to - from, 360.0);
    if (sweep <= 0) sweep += 360.0;
    s.from = std::fmod(from, 360.0) * Pi / 180.0;
    s.sweep = std::clamp(sweep, 0.0, 360.0) * Pi / 180.0;
    return s;
}

}  // namespace geometry::primitives
