// A node's object offset (chunks 0x096A-0x096C): mesh and poly vertices are
// stored relative to it, and reach the host in the node's own space.
#pragma once

#include <cstdint>

#include "frame/contract/host_records.h"
#include "geometry/poly_mesh.h"
#include "max/chunk_reader.h"

struct ObjectOffset {
    Point3 position;
    float rotation[4];      // quaternion x, y, z, w
    float scaleAndAxis[7];  // scale x, y, z, then the scale axis quaternion
};

constexpr ObjectOffset IdentityOffset{{0, 0, 0}, {0, 0, 0, 1}, {1, 1, 1, 0, 0, 0, 1}};

// Takes the value of an offset chunk; false when the chunk is none of them.
// A chunk too short for its value leaves the offset as it was.
bool readObjectOffsetChunk(MaxFile& file, const ChunkHeader& chunk, ObjectOffset& offset);

// Each vertex becomes vertex * OffsetScale * OffsetRotation * OffsetPosition.
void applyObjectOffset(const ObjectOffset& offset, geometry::Vector<geometry::Vec3>& vertices);
