#include "geometry/poly_mesh.h"

namespace geometry {

MapChannel* PolyMesh::map(int32_t channel) {
    for (MapChannel& m : maps) {
        if (m.channel == channel) return &m;
    }
    return nullptr;
}

const MapChannel* PolyMesh::map(int32_t channel) const {
    for (const MapChannel& m : maps) {
        if (m.channel == channel) return &m;
    }
    return nullptr;
}

uint32_t PolyMesh::addPolygon(uint32_t degree, uint16_t materialId, uint32_t smoothing) {
    if (polygonStart.empty()) polygonStart.push_back(0);
    const auto first = static_cast<uint32_t>(corners.size());
    corners.resize(first + degree, NoIndex);
    edgeVisible.resize(first + degree, 1);
    for (MapChannel& m : maps) m.corners.resize(first + degree, NoIndex);
    polygonStart.push_back(first + degree);
    materialIds.push_back(materialId);
    smoothingGroups.push_back(smoothing);
    if (!diagonalStart.empty()) diagonalStart.push_back(diagonalStart.back());
    return first;
}

void PolyMesh::clear() noexcept {
    *this = PolyMesh{};
}

}  // namespace geometry
