#include "max/plane.h"

#include <cmath>

#include "max/class_directory.h"
#include "max/mesh_node.h"
#include "max/objects.h"
#include "max/param_block2.h"
#include "max/scene.h"
#include "platform/heap.h"

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

// The block among the object's references, read; false when it has none.
bool readPlaneBlock(MaxFile& file, const RefEntry& entry, Block2Value (&values)[MaxBlock2Parameters]) {
    uint32_t count = 0;
    int32_t* refs = readObjectRefs(file, entry, count);
    bool found = false;
    for (uint32_t i = 0; i < count && !found; ++i) {
        const RefEntry* target = refAt(file, refs[i]);
        uint32_t a = 0, b = 0;
        if (!target || !classId(file, target->classIndex, a, b) || a != ParamBlock2ClassA || b != 0) continue;
        readBlock2Values(file, *target, values);
        found = true;
    }
    heapFree(refs);
    return found;
}

// Rows of vertices from -length/2 to +length/2, each from -width/2 to
// +width/2; each cell two triangles that share the diagonal from its first
// corner to the opposite one, hidden, and keep the cell's sides visible.
bool buildGrid(MaxMeshNode& mesh, float length, float width, int32_t lengthSegments, int32_t widthSegments) {
    const int32_t columns = widthSegments + 1;
    const int32_t vertices = columns * (lengthSegments + 1);
    const int32_t faces = 2 * lengthSegments * widthSegments;
    if (!mesh.allocVertices(vertices) || !mesh.allocFaces(faces)) {
        mesh.freeGeometry();
        return false;
    }
    for (int32_t r = 0; r <= lengthSegments; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            mesh.vertexData[r * columns + c] = {
                width * (static_cast<float>(c) / static_cast<float>(widthSegments) - 0.5f),
                length * (static_cast<float>(r) / static_cast<float>(lengthSegments) - 0.5f), 0.0f};
        }
    }
    constexpr uint32_t SidesVisible = FaceEdgeAB | FaceEdgeCA;
    MaxFace* face = mesh.faceData;
    for (int32_t r = 0; r < lengthSegments; ++r) {
        for (int32_t c = 0; c < widthSegments; ++c) {
            const auto corner = static_cast<uint32_t>(r * columns + c);
            const auto above = corner + static_cast<uint32_t>(columns);
            *face++ = {above, corner, above + 1, 1, SidesVisible};
            *face++ = {corner + 1, above + 1, corner, 1, SidesVisible};
        }
    }
    return true;
}

}  // namespace

MaxMeshNode* readPlane(MaxFile& file, const RefEntry& entry, MaxMeshNode* target) {
    Block2Value values[MaxBlock2Parameters];
    if (!readPlaneBlock(file, entry, values)) return target;
    if (!target) target = createMeshNode();
    if (!target) return nullptr;
    target->freeGeometry();
    buildGrid(*target, sizeOf(values[LengthParameter]), sizeOf(values[WidthParameter]),
              segmentsOf(values[LengthSegmentsParameter]), segmentsOf(values[WidthSegmentsParameter]));
    return target;
}
