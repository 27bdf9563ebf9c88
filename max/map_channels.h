// Texture coordinates of an editable mesh: map channel 1 (chunks 0x0959
// channel, 0x2394 map vertices, 0x2396 map faces; before R3 0x0916 and
// 0x0918), and the (u, v, w) list that editable polys share with them.
#pragma once

#include <cstdint>

#include "geometry/poly_mesh.h"
#include "max/chunk_reader.h"

// Where an editable mesh keeps channel 1, noted while its chunks are walked:
// the faces may come after them.
struct MeshMapChunks {
    int32_t channel;  // of the chunks that follow, -1 before any channel chunk
    ChunkHeader vertices, faces;
    bool hasVertices, hasFaces;
    ChunkHeader oldVertices, oldFaces;  // the form before R3
    bool hasOldVertices, hasOldFaces;
};

constexpr MeshMapChunks NoMeshMapChunks{-1, {}, {}, false, false, {}, {}, false, false};

// Notes the chunk when it is one of the map chunks.
void noteMeshMapChunk(MaxFile& file, const ChunkHeader& chunk, MeshMapChunks& map);
// Reads channel 1 (or the form before R3) into the mesh, whose triangles are
// read: nothing when the map faces do not match them.
void readMeshMapChannel(MaxFile& file, const MeshMapChunks& map, geometry::PolyMesh& mesh);

// A chunk of u32 n and n (u, v, w) floats, from its data on; false when it
// does not fit or is empty.
bool readMapVertices(MaxFile& file, const ChunkHeader& chunk, geometry::Vector<geometry::Vec3>& vertices);
