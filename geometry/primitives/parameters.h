// Reading a primitive's parameter block: every reader takes the primitive's
// default for what is missing and bounds what it gets, so that no block can
// make a mesh of unbounded size.
#pragma once

#include <cstdint>

#include "geometry/primitives/primitive.h"

namespace geometry::primitives {

// The most segments, sides or slices one parameter may ask for.
constexpr int MaxSegments = 200;
// The most subdivisions of a geodesic sphere's base faces.
constexpr int MaxGeodesicSegments = 64;

class Parameters {
 public:
    explicit Parameters(const PrimitiveParameters& values) : values_(values) {}

    // A length or angle; non-finite values count as missing.
    double number(int32_t index, double fallback) const;
    // A count, clamped to [low, high].
    int count(int32_t index, int fallback, int low, int high) const;
    // A switch: any non-zero value is on.
    bool flag(int32_t index, bool fallback) const;
    // A choice among 0 .. high; anything else is the fallback.
    int choice(int32_t index, int fallback, int high) const;

 private:
    const PrimitiveParameters& values_;
};

// The part of a full turn that a slice keeps, in radians, from its start.
struct SliceRange {
    bool on = false;
    double from = 0;   // radians
    double sweep = 0;  // radians, in (0, 2 pi]
};
// Reads "sliceOn", "slice from" and "slice to" (degrees).
SliceRange readSlice(const Parameters& p, int32_t onIndex, int32_t fromIndex, int32_t toIndex);

}  // namespace geometry::primitives
