// The regular solids that geodesic spheres and hedra start from, with unit
// circumradius and a vertex at the top, faces counter-clockwise seen from
// outside.
#pragma once

#include <array>

#include "geometry/primitives/mesh_builder.h"

namespace geometry::primitives {

struct Solid {
    Vector<Vec3d> vertices;
    Vector<std::array<int, 3>> faces;
};

Solid tetrahedron();
Solid octahedron();
Solid icosahedron();

Vec3d normalized(const Vec3d& v);

}  // namespace geometry::primitives
