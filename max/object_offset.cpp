#include "max/object_offset.h"

#include "frame/module_state.h"
#include "max/controllers.h"

namespace {

constexpr uint16_t ChunkOffsetPosition = 0x096A;
constexpr uint16_t ChunkOffsetRotation = 0x096B;
constexpr uint16_t ChunkOffsetScale = 0x096C;

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

void applyObjectOffset(const ObjectOffset& offset, Point3* vertices, int32_t count) {
    if (!vertices || count <= 0 || isIdentity(offset)) return;
    HostMatrix matrix = scaleMatrix(offset.scaleAndAxis);
    HostMatrix rotation;
    hostApp->MatrixFromQuat(&rotation, offset.rotation);
    const HostMatrix scaled = matrix;
    hostApp->MatrixMultiply(&scaled, &rotation, &matrix);
    hostApp->MatrixTranslate(&matrix, &offset.position);
    hostApp->TransformPoints(&matrix, vertices, vertices, count);
}
