// A rectangular grid of quads: the sides of boxes and of the chamfer box.
#pragma once

#include <cstdint>
#include <functional>

#include "mesh_builder.h"

namespace refhost::primitives {

// Quads over (i, j) in [0, nu] x [0, nv], with point(i, j) at each corner.
// They face along (point(1,0) - point(0,0)) x (point(0,1) - point(0,0)), or
// against it when flipped. Texture coordinates run from 0 to 1 across the
// grid, read from the side the faces face.
void addGrid(MeshBuilder& mesh, int nu, int nv, const std::function<Vec3(int i, int j)>& point, uint32_t group,
             bool flip);

}  // namespace refhost::primitives
