// Surfaces of revolution: a profile in the (r, z) half-plane turned about
// the Z axis. Spheres, cylinders, cones, tubes and tori are all built so.
#pragma once

#include <cstdint>

#include "geometry/primitives/mesh_builder.h"
#include "geometry/primitives/parameters.h"

namespace geometry::primitives {

struct ProfilePoint {
    double r, z;
    uint32_t group;  // smoothing group of the band from this point to the next
    double v;        // texture v of the point, from the bottom
};
using Profile = Vector<ProfilePoint>;

struct LatheOptions {
    int sides = 3;  // segments around the axis
    SliceRange slice;
    // A closed profile (a torus' or a tube's section) joins its last point to
    // its first. An open one runs down from the axis back to the axis; the
    // axis closes it where a slice cuts it open.
    bool closed = false;
    uint32_t sliceStartGroup = 0, sliceEndGroup = 0;
};

// The profiles of the columns 0 .. sides of the turn, as buildLathe takes them.
void turnProfiles(MeshBuilder& mesh, const LatheOptions& options, const Vector<Profile>& profiles);

// profileAt(column) is the profile of one column of the turn (columns
// 0 .. sides; without a slice the last column is the first again). Every
// column has the same number of points, and the profile runs clockwise in
// the (r, z) plane (down the outside), so that faces face out.
template <class ProfileAt>
void buildLathe(MeshBuilder& mesh, const LatheOptions& options, const ProfileAt& profileAt) {
    Vector<Profile> columns;
    for (int k = 0; k <= options.sides; ++k)
        columns.push_back(profileAt(options.slice.on || k < options.sides ? k : 0));
    turnProfiles(mesh, options, columns);
}

}  // namespace geometry::primitives
