#include "max/map_channels.h"

#include "max/chunk_ids.h"

namespace {

constexpr uint32_t UvwBytes = 12;
constexpr uint32_t MapFaceBytes = 12;
static_assert(sizeof(geometry::Vec3) == UvwBytes, "map vertices are read in place");

// n from the chunk's first word when n records of recordSize follow it; 0
// otherwise.
uint32_t countedRecords(MaxFile& file, const ChunkHeader& chunk, uint32_t recordSize) {
    const uint32_t size = chunkDataSize(chunk);
    if (size < 4) return 0;
    const int32_t count = readInt32(file);
    if (count <= 0 || static_cast<uint32_t>(count) > (size - 4) / recordSize) return 0;
    return static_cast<uint32_t>(count);
}

// A chunk noted during a walk, read again from its data on.
void seekToData(MaxFile& file, const ChunkHeader& chunk) {
    seekTo(file, static_cast<int32_t>(chunk.position + chunk.headerSize));
}

// The map vertices, and three map indices for each triangle from the
// position given, as the mesh's channel 1; nothing when they cannot be read.
void readChannel(MaxFile& file, const ChunkHeader& vertices, uint32_t facesAt, geometry::PolyMesh& mesh) {
    geometry::MapChannel channel;
    seekToData(file, vertices);
    if (!readMapVertices(file, vertices, channel.vertices)) return;
    seekTo(file, static_cast<int32_t>(facesAt));
    // A mesh's polygons are its triangles, whose corners come three by three.
    channel.corners.resize(mesh.corners.size());
    if (!readWords(file, channel.corners.data(), static_cast<uint32_t>(channel.corners.size()))) return;
    mesh.maps.push_back(std::move(channel));
}

}  // namespace

bool readMapVertices(MaxFile& file, const ChunkHeader& chunk, geometry::Vector<geometry::Vec3>& vertices) {
    const uint32_t count = countedRecords(file, chunk, UvwBytes);
    if (count == 0) return false;
    vertices.resize(count);
    if (readWords(file, vertices.data(), 3 * count)) return true;
    vertices.clear();
    return false;
}

void noteMeshMapChunk(MaxFile& file, const ChunkHeader& chunk, MeshMapChunks& map) {
    switch (chunk.id) {
        case ChunkMeshMapChannel:
            if (chunkDataSize(chunk) >= 4) map.channel = readInt32(file);
            break;
        case ChunkMeshMapVertices:
            if (map.channel == geometry::TextureChannel && !map.hasVertices) {
                map.vertices = chunk;
                map.hasVertices = true;
            }
            break;
        case ChunkMeshMapFaces:
            if (map.channel == geometry::TextureChannel && !map.hasFaces) {
                map.faces = chunk;
                map.hasFaces = true;
            }
            break;
        case ChunkMeshOldTexVertices:
            map.oldVertices = chunk;
            map.hasOldVertices = true;
            break;
        case ChunkMeshOldTexFaces:
            map.oldFaces = chunk;
            map.hasOldFaces = true;
            break;
        default:
            break;
    }
}

void readMeshMapChannel(MaxFile& file, const MeshMapChunks& map, geometry::PolyMesh& mesh) {
    const uint32_t faces = mesh.polygonCount();
    if (faces == 0) return;
    if (map.hasVertices && map.hasFaces) {
        // Channel 1: a count that must be the mesh's face count.
        seekToData(file, map.faces);
        if (countedRecords(file, map.faces, MapFaceBytes) == faces) readChannel(file, map.vertices, tellPosition(file), mesh);
        return;
    }
    // Before R3 the face list has no count: one record per mesh face.
    if (map.hasOldVertices && map.hasOldFaces && chunkDataSize(map.oldFaces) / MapFaceBytes >= faces) {
        readChannel(file, map.oldVertices, map.oldFaces.position + map.oldFaces.headerSize, mesh);
    }
}
