// The regular solids that geodesic spheres and hedra start from, with unit
// circumradius and a vertex at the top, faces counter-clockwise seen from
// outside.
#pragma once

#include <array>
#include <vector>

#include "mesh_builder.h"

namespace refhost::primitives {

struct Solid {
    std::vector<Vec3> vertices;
    std::vector<std::array<int, 3>> faces;
};

Solid tetrahedron();
Solid octahedron();
Solid icosahedron();

Vec3 normalized(const Vec3& v);

}  // namespace refhost::primitives
