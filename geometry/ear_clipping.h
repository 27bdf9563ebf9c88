// The triangles of one polygon that has no usable stored diagonals: ears
// clipped in the polygon's best-fit plane, so that a concave polygon is cut
// only along diagonals that run inside it.
#pragma once

#include <cstdint>

#include "geometry/memory.h"
#include "geometry/poly_mesh.h"

namespace geometry {

// Ear clipping takes time in the square of a polygon's degree. A polygon of
// more corners is fanned from its first corner, in time in proportion to its
// degree: right for the convex polygons that large ones nearly always are
// (the caps of turned solids), across its reflex corners for the rest.
constexpr uint32_t MaxEarClippedDegree = 256;

// Memory one polygon's clipping works in, kept from polygon to polygon.
struct EarClippingScratch {
    Vector<double> u, v;              // the corners in the plane, turning counter-clockwise
    Vector<uint32_t> previous, next;  // the corners not yet clipped, as a ring; next is NoIndex once clipped
    Vector<uint8_t> convex, ear;
    Vector<uint32_t> blockers;  // the corners that were not convex when last looked at
};

// The polygon's degree - 2 triangles as corner-number triples, each
// ascending (which keeps the polygon's winding), into triples. The plane is
// the one of the polygon's Newell normal. A polygon without such a plane (a
// corner that names no vertex, all corners in a line or at one point, a
// position not finite) and one beyond MaxEarClippedDegree get the fan.
// Where no corner is an ear (a polygon that crosses itself in the plane),
// a corner that cuts off nothing goes first, else the one that turns most.
void clipEars(const PolyMesh& mesh, uint32_t polygon, EarClippingScratch& scratch, Vector<uint32_t>& triples);

}  // namespace geometry
