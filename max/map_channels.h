// Texture coordinates of map channel 1: an editable mesh's channel chunks
// (0x0959 channel, 0x2394 vertices, 0x2396 faces; before R3 0x0916 and
// 0x0918) and the map vertices an editable poly shares with them.
#pragma once

#include <cstdint>

#include "max/chunk_reader.h"

class MaxMeshNode;

// The map channel that carries the first texture coordinates.
constexpr int32_t TextureChannel = 1;

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
// Reads channel 1 (or the form before R3) into the mesh, whose faces are
// read: nothing when the texture faces do not match them.
void readMeshMapChannel(MaxFile& file, const MeshMapChunks& map, MaxMeshNode& mesh);

// A chunk of u32 n and n (u, v, w) floats into the mesh's texture vertices,
// v flipped (1 - v) as the host takes them; false when it does not fit.
bool readTexVertices(MaxFile& file, const ChunkHeader& chunk, MaxMeshNode& mesh);
