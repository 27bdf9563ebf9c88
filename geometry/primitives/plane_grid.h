// The Plane object's mesh: a flat grid of length by width cells in z = 0.
#pragma once

#include <cstdint>

#include "geometry/poly_mesh.h"

namespace geometry {

// The most cells a plane has along either side.
constexpr int32_t MaxPlaneSegments = 200;

// Replaces mesh with rows of vertices from -length/2 to +length/2 (Y), each
// from -width/2 to +width/2 (X); each cell two triangles that share the
// diagonal from its first corner to the opposite one, hidden, and keep the
// cell's sides visible; smoothing group 1, material id 0. Segment counts are
// clamped to [1, MaxPlaneSegments].
void buildPlaneGrid(float length, float width, int32_t lengthSegments, int32_t widthSegments, PolyMesh& mesh);

}  // namespace geometry
