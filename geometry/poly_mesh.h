// A polygon mesh as MAX evaluates one: positions, polygons of any degree as
// corner lists with per-edge visibility, a material id and smoothing groups
// per polygon, the triangulation diagonals the file stored, and map channels
// with one map vertex per polygon corner. Editable meshes are polygon meshes
// whose polygons are all triangles.
//
// The arrays are flat: polygon p owns corners [polygonStart[p],
// polygonStart[p + 1]). A corner's vertex index is not checked against the
// positions here; whoever hands the mesh on checks every index it uses.
#pragma once

#include <cstdint>

#include "geometry/memory.h"
#include "geometry/vec3.h"

namespace geometry {

// The map channel of the first texture coordinates.
constexpr int32_t TextureChannel = 1;
// A corner index that names no vertex.
constexpr uint32_t NoIndex = 0xFFFFFFFFu;

struct MapChannel {
    int32_t channel = TextureChannel;
    Vector<Vec3> vertices;    // u, v, w as the file stores them: v grows upward
    Vector<uint32_t> corners;  // one map vertex index per mesh corner, parallel to PolyMesh::corners
};

struct PolyMesh {
    Vector<Vec3> positions;
    Vector<uint32_t> polygonStart;     // empty, or polygonCount() + 1 entries from 0
    Vector<uint32_t> corners;          // vertex index of each corner
    Vector<uint8_t> edgeVisible;       // per corner: the edge to the polygon's next corner is visible
    Vector<uint16_t> materialIds;      // per polygon
    Vector<uint32_t> smoothingGroups;  // per polygon: bit g is smoothing group g + 1
    // The stored triangulation: polygon p's diagonals are the corner-number
    // pairs diagonals[2 * diagonalStart[p] .. 2 * diagonalStart[p + 1]).
    // Empty when no polygon has stored diagonals; otherwise polygonCount() + 1 entries.
    Vector<uint32_t> diagonalStart;
    Vector<uint32_t> diagonals;
    Vector<MapChannel> maps;

    uint32_t polygonCount() const {
        return polygonStart.empty() ? 0 : static_cast<uint32_t>(polygonStart.size() - 1);
    }
    uint32_t degree(uint32_t polygon) const { return polygonStart[polygon + 1] - polygonStart[polygon]; }
    uint32_t firstCorner(uint32_t polygon) const { return polygonStart[polygon]; }
    uint32_t diagonalCount(uint32_t polygon) const {
        return diagonalStart.empty() ? 0 : diagonalStart[polygon + 1] - diagonalStart[polygon];
    }
    const uint32_t* polygonDiagonals(uint32_t polygon) const { return diagonals.data() + 2 * diagonalStart[polygon]; }

    // The channel's map, or null.
    MapChannel* map(int32_t channel);
    const MapChannel* map(int32_t channel) const;

    // Appends a polygon of degree corners with every edge visible; its
    // corners and its map corners (when maps exist) are the caller's to fill.
    // Returns its first corner.
    uint32_t addPolygon(uint32_t degree, uint16_t materialId = 0, uint32_t smoothing = 0);
    // Empties the mesh and gives its memory back; allocates nothing.
    void clear() noexcept;
};

}  // namespace geometry
