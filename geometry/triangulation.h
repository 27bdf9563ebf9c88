// Triangles for a host that takes only triangles, made once when a mesh is
// handed over: each polygon by its stored diagonals where the file has
// usable ones (the triangles are the corner triples joined pairwise by
// boundary edges or diagonals, corners ascending, which keeps the winding),
// otherwise by ear clipping in the polygon's best-fit plane.
#pragma once

#include <cstdint>

#include "geometry/poly_mesh.h"

namespace geometry {

struct Triangle {
    uint32_t polygon;
    uint32_t corner[3];  // indices into PolyMesh::corners
    // Bit 0: edge corner[0]-corner[1] visible, bit 1: corner[1]-corner[2],
    // bit 2: corner[2]-corner[0]. Diagonals are hidden; a polygon edge keeps
    // its own visibility.
    uint8_t edges;
};

// The triangles of every polygon of degree 3 or more, in polygon order,
// degree - 2 per polygon.
void triangulate(const PolyMesh& mesh, Vector<Triangle>& triangles);

}  // namespace geometry
