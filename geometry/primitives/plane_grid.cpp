#include "geometry/primitives/plane_grid.h"

#include <algorithm>

namespace geometry {

void buildPlaneGrid(float length, float width, int32_t lengthSegments, int32_t widthSegments, PolyMesh& mesh) {
    lengthSegments = std::clamp(lengthSegments, 1, MaxPlaneSegments);
    widthSegments = std::clamp(widthSegments, 1, MaxPlaneSegments);
    mesh.clear();
    const int32_t columns = widthSegments + 1;
    mesh.positions.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(lengthSegments + 1));
    for (int32_t r = 0; r <= lengthSegments; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            mesh.positions.push_back({width * (static_cast<float>(c) / static_cast<float>(widthSegments) - 0.5f),
                                      length * (static_cast<float>(r) / static_cast<float>(lengthSegments) - 0.5f),
                                      0.0f});
        }
    }
    constexpr uint32_t SmoothingGroup1 = 1;
    auto triangle = [&](uint32_t a, uint32_t b, uint32_t c) {
        const uint32_t first = mesh.addPolygon(3, 0, SmoothingGroup1);
        mesh.corners[first] = a;
        mesh.corners[first + 1] = b;
        mesh.corners[first + 2] = c;
        mesh.edgeVisible[first + 1] = 0;  // b-c: the cell's diagonal
    };
    for (int32_t r = 0; r < lengthSegments; ++r) {
        for (int32_t c = 0; c < widthSegments; ++c) {
            const auto corner = static_cast<uint32_t>(r * columns + c);
            const auto above = corner + static_cast<uint32_t>(columns);
            triangle(above, corner, above + 1);
            triangle(corner + 1, above + 1, corner);
        }
    }
}

}  // namespace geometry
