#include "max/plane.h"

#include <cmath>

#include "max/object_value.h"
#include "max/param_block2.h"
#include "max/references.h"

namespace {

// Parameter numbers of the plane's block.
constexpr uint32_t LengthParameter = 0;
constexpr uint32_t WidthParameter = 1;
constexpr uint32_t LengthSegmentsParameter = 2;
constexpr uint32_t WidthSegmentsParameter = 3;

float sizeOf(const Block2Value& value) {
    return value.present && value.isFloat && std::isfinite(value.number) ? std::fabs(value.number) : 0.0f;
}

int32_t segmentsOf(const Block2Value& value) {
    if (!value.present || value.isFloat || value.integer < 1) return 1;
    return value.integer < MaxPlaneSegments ? value.integer : MaxPlaneSegments;
}

// The first parameter block among the object's references, read; false
// when it has none.
bool readPlaneBlock(MaxFile& file, int32_t reference, Block2Value (&values)[MaxBlock2Parameters]) {
    const RefList refs = readObjectRefs(file, reference);
    for (uint32_t i = 0; i < refs.count(); ++i) {
        if (readBlock2Values(file, refs.at(i), values)) return true;
    }
    return false;
}

// Rows of vertices from -length/2 to +length/2, each from -width/2 to
// +width/2; each cell two triangles that share the diagonal from its first
// corner to the opposite one, hidden, and keep the cell's sides visible.
void buildGrid(geometry::PolyMesh& mesh, float length, float width, int32_t lengthSegments, int32_t widthSegments) {
    const int32_t columns = widthSegments + 1;
    mesh.positions.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(lengthSegments + 1));
    for (int32_t r = 0; r <= lengthSegments; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            mesh.positions.push_back({width * (static_cast<float>(c) / static_cast<float>(widthSegments) - 0.5f),
                                      length * (static_cast<float>(r) / static_cast<float>(lengthSegments) - 0.5f),
                                      0.0f});
        }
    }
    auto triangle = [&mesh](uint32_t a, uint32_t b, uint32_t c) {
        const uint32_t first = mesh.addPolygon(3, 0, 1);
        mesh.corners[first] = a;
        mesh.corners[first + 1] = b;
        mesh.corners[first + 2] = c;
        mesh.edgeVisible[first + 1] = 0;
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

}  // namespace

bool readPlane(MaxFile& file, int32_t reference, const ClassInfo&, ObjectValue& value) {
    Block2Value values[MaxBlock2Parameters];
    if (!readPlaneBlock(file, reference, values)) return false;
    geometry::PolyMesh& mesh = value.makeMesh();
    mesh.clear();
    buildGrid(mesh, sizeOf(values[LengthParameter]), sizeOf(values[WidthParameter]),
              segmentsOf(values[LengthSegmentsParameter]), segmentsOf(values[WidthSegmentsParameter]));
    return true;
}
