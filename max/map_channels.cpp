#include "max/map_channels.h"

#include "max/mesh_node.h"

namespace {

constexpr uint16_t ChunkChannel = 0x0959;
constexpr uint16_t ChunkChannelVertices = 0x2394;
constexpr uint16_t ChunkChannelFaces = 0x2396;
constexpr uint16_t ChunkOldTexVertices = 0x0916;
constexpr uint16_t ChunkOldTexFaces = 0x0918;

constexpr uint32_t UvwBytes = 12;
constexpr uint32_t TexFaceBytes = 12;
constexpr uint32_t PieceVertices = 128;

// n from the chunk's first word when n records of recordSize follow it; 0
// otherwise.
uint32_t countedRecords(MaxFile& file, const ChunkHeader& chunk, uint32_t recordSize) {
    const uint32_t size = chunkDataSize(chunk);
    if (size < 4) return 0;
    const int32_t count = readInt32(file);
    if (count <= 0 || static_cast<uint32_t>(count) > (size - 4) / recordSize) return 0;
    return static_cast<uint32_t>(count);
}

// faceCount * 3 indices, from where the file is now.
bool readTexFaces(MaxFile& file, MaxMeshNode& mesh) {
    if (!mesh.allocTexFaces()) return false;
    if (readWords(file, mesh.texFaceData, static_cast<uint32_t>(mesh.faceCount) * 3)) return true;
    mesh.freeTexCoords();
    return false;
}

// A chunk noted during a walk, read again from its data on.
void seekToData(MaxFile& file, const ChunkHeader& chunk) {
    seekTo(file, static_cast<int32_t>(chunk.position + chunk.headerSize));
}

}  // namespace

bool readTexVertices(MaxFile& file, const ChunkHeader& chunk, MaxMeshNode& mesh) {
    const uint32_t count = countedRecords(file, chunk, UvwBytes);
    if (count == 0 || !mesh.allocTexVertices(static_cast<int32_t>(count))) return false;
    float piece[3 * PieceVertices];
    for (uint32_t done = 0; done < count;) {
        const uint32_t take = count - done < PieceVertices ? count - done : PieceVertices;
        if (!readWords(file, piece, 3 * take)) {
            mesh.freeTexCoords();
            return false;
        }
        for (uint32_t i = 0; i < take; ++i) mesh.texVertexData[done + i] = {piece[3 * i], 1.0f - piece[3 * i + 1]};
        done += take;
    }
    return true;
}

void noteMeshMapChunk(MaxFile& file, const ChunkHeader& chunk, MeshMapChunks& map) {
    switch (chunk.id) {
        case ChunkChannel:
            if (chunkDataSize(chunk) >= 4) map.channel = readInt32(file);
            break;
        case ChunkChannelVertices:
            if (map.channel == TextureChannel && !map.hasVertices) {
                map.vertices = chunk;
                map.hasVertices = true;
            }
            break;
        case ChunkChannelFaces:
            if (map.channel == TextureChannel && !map.hasFaces) {
                map.faces = chunk;
                map.hasFaces = true;
            }
            break;
        case ChunkOldTexVertices:
            map.oldVertices = chunk;
            map.hasOldVertices = true;
            break;
        case ChunkOldTexFaces:
            map.oldFaces = chunk;
            map.hasOldFaces = true;
            break;
        default:
            break;
    }
}

void readMeshMapChannel(MaxFile& file, const MeshMapChunks& map, MaxMeshNode& mesh) {
    if (mesh.faceCount <= 0) return;
    const auto faces = static_cast<uint32_t>(mesh.faceCount);
    if (map.hasVertices && map.hasFaces) {
        // Channel 1: a count that must be the mesh's face count.
        seekToData(file, map.vertices);
        if (!readTexVertices(file, map.vertices, mesh)) return;
        seekToData(file, map.faces);
        if (countedRecords(file, map.faces, TexFaceBytes) != faces || !readTexFaces(file, mesh)) {
            mesh.freeTexCoords();
        }
        return;
    }
    if (map.hasOldVertices && map.hasOldFaces) {
        // Before R3 the face list has no count: one record per mesh face.
        seekToData(file, map.oldVertices);
        if (!readTexVertices(file, map.oldVertices, mesh)) return;
        seekToData(file, map.oldFaces);
        if (chunkDataSize(map.oldFaces) / TexFaceBytes < faces || !readTexFaces(file, mesh)) {
            mesh.freeTexCoords();
        }
    }
}
