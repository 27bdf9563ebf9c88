#include "max/object_offset.h"

#include "frame/module_state.h"
#include "max/chunk_ids.h"
#include "max/controllers.h"

namespace {

// Vertices go through the host's transform this many at a time.
constexpr uint32_t PiecePoints = 256;

bool isIdentity(const ObjectOffset& o) {
    const ObjectOffset& i = IdentityOffset;
    for (int k = 0; k < 4; ++k) {
        if (o.rotation[k] != i.rotation[k]) return false;
    }
    for (int k = 0; k < 7; ++k) {
        if (o.scaleAndAxis[k] != i.scaleAndAxis[k]) return false;
    }
    return o.position.x == 0 && o.position.y == 0 && o.position.z == 0;
}

}  // namespace

bool readObjectOffsetChunk(MaxFile& file, const ChunkHeader& chunk, ObjectOffset& offset) {
    const uint32_t size = chunkDataSize(chunk);
    switch (chunk.id) {
        case ChunkOffsetPosition:
            if (size >= sizeof offset.position) readWords(file, &offset.position, 3);
            return true;
        case ChunkOffsetRotation:
            if (size >= sizeof offset.rotation) readWords(file, offset.rotation, 4);
            return true;
        case ChunkOffsetScale:
            if (size >= sizeof offset.scaleAndAxis) readWords(file, offset.scaleAndAxis, 7);
            return true;
        default:
            return false;
    }
}

void applyObjectOffset(const ObjectOffset& offset, geometry::Vector<geometry::Vec3>& vertices) {
    if (vertices.empty() || isIdentity(offset)) return;
    HostMatrix matrix = scaleMatrix(offset.scaleAndAxis);
    HostMatrix rotation;
    hostApp->MatrixFromQuat(&rotation, offset.rotation);
    const HostMatrix scaled = matrix;
    hostApp->MatrixMultiply(&scaled, &rotation, &matrix);
    hostApp->MatrixTranslate(&matrix, &offset.position);
    Point3 piece[PiecePoints];
    const auto count = static_cast<uint32_t>(vertices.size());
    for (uint32_t done = 0; done < count;) {
        const uint32_t take = count - done < PiecePoints ? count - done : PiecePoints;
        for (uint32_t i = 0; i < take; ++i) piece[i] = {vertices[done + i].x, vertices[done + i].y, vertices[done + i].z};
        hostApp->TransformPoints(&matrix, piece, piece, static_cast<int32_t>(take));
        for (uint32_t i = 0; i < take; ++i) vertices[done + i] = {piece[i].x, piece[i].y, piece[i].z};
        done += take;
    }
}
