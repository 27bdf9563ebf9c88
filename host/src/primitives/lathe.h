// Surfaces of revolution: a profile in the (r, z) half-plane turned about
// the Z axis. Spheres, cylinders, cones, tubes and tori are all built so.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "mesh_builder.h"
#include "parameters.h"

namespace refhost::primitives {

struct ProfilePoint {
    double r, z;
    uint32_t group;  // smoothing group of the band from this point to the next
    double v;        // texture v of the point, from the bottom
};

struct LatheOptions {
    int sides = 3;  // segments around the axis
    SliceRange slice;
    // A closed profile (a torus' or a tube's section) joins its last point to
    // its first. An open one runs down from the axis back to the axis; the
    // axis closes it where a slice cuts it open.
    bool closed = false;
    uint32_t sliceStartGroup = 0, sliceEndGroup = 0;
};

// The profile of one column of the turn (columns 0 .. sides; the last one is
// used only by a slice). Every column has the same number of points, and
// the profile runs clockwise in the (r, z) plane (down the outside), so that
// faces face out.
using ProfileAt = std::function<std::vector<ProfilePoint>(int column)>;

void buildLathe(MeshBuilder& mesh, const LatheOptions& options, const ProfileAt& profileAt);

}  // namespace refhost::primitives
