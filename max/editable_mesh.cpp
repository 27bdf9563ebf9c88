#include "max/editable_mesh.h"

#include "max/chunk_ids.h"
#include "max/map_channels.h"
#include "max/object_value.h"
#include "max/references.h"
#include "platform/byte_cursor.h"

namespace {

// A face: three vertex indices, the smoothing groups, and flags whose low 3
// bits are the edge visibility (AB, BC, CA) and whose high 16 bits are the
// material id.
constexpr uint32_t FaceBytes = 20;
constexpr uint32_t FaceMaterialShift = 16;
constexpr uint32_t PieceFaces = 128;
static_assert(sizeof(geometry::Vec3) == 12, "vertices are read in place");

// A count and its records must fit the chunk that holds them; otherwise
// nothing is read.
uint32_t countThatFits(MaxFile& file, const ChunkHeader& chunk, uint32_t recordSize) {
    const uint32_t size = chunkDataSize(chunk);
    if (size < 4) return 0;
    const int32_t count = readInt32(file);
    if (count <= 0 || static_cast<uint32_t>(count) > (size - 4) / recordSize) return 0;
    return static_cast<uint32_t>(count);
}

void readVertices(MaxFile& file, const ChunkHeader& chunk, geometry::PolyMesh& mesh) {
    const uint32_t count = countThatFits(file, chunk, sizeof(geometry::Vec3));
    if (count == 0) return;
    mesh.positions.resize(count);
    if (!readWords(file, mesh.positions.data(), 3 * count)) mesh.positions.clear();
}

void clearFaces(geometry::PolyMesh& mesh) {
    mesh.polygonStart.clear();
    mesh.corners.clear();
    mesh.edgeVisible.clear();
    mesh.materialIds.clear();
    mesh.smoothingGroups.clear();
    mesh.maps.clear();
}

void readFaces(MaxFile& file, const ChunkHeader& chunk, geometry::PolyMesh& mesh) {
    const uint32_t count = countThatFits(file, chunk, FaceBytes);
    if (count == 0) return;
    mesh.polygonStart.resize(count + 1);
    mesh.corners.resize(3 * static_cast<std::size_t>(count));
    mesh.edgeVisible.resize(3 * static_cast<std::size_t>(count));
    mesh.materialIds.resize(count);
    mesh.smoothingGroups.resize(count);
    mesh.maps.clear();  // it was made for the faces replaced
    unsigned char piece[PieceFaces * FaceBytes];
    for (uint32_t done = 0; done < count;) {
        const uint32_t take = count - done < PieceFaces ? count - done : PieceFaces;
        if (static_cast<uint32_t>(readBytes(file, piece, static_cast<int32_t>(take * FaceBytes))) != take * FaceBytes) {
            clearFaces(mesh);
            return;
        }
        for (uint32_t i = 0; i < take; ++i) {
            const unsigned char* face = piece + i * FaceBytes;
            const uint32_t f = done + i;
            const uint32_t flags = le32(face + 16);
            mesh.polygonStart[f] = 3 * f;
            for (uint32_t k = 0; k < 3; ++k) {
                mesh.corners[3 * f + k] = le32(face + 4 * k);
                mesh.edgeVisible[3 * f + k] = static_cast<uint8_t>((flags >> k) & 1);
            }
            mesh.smoothingGroups[f] = le32(face + 12);
            mesh.materialIds[f] = static_cast<uint16_t>(flags >> FaceMaterialShift);
        }
        done += take;
    }
    mesh.polygonStart[count] = 3 * count;
}

}  // namespace

bool readEditableMesh(MaxFile& file, int32_t reference, const ClassInfo&, ObjectValue& value) {
    const RefEntry* entry = refAt(file, reference);
    ChunkHeader object{};
    if (!entry || !readChunkAt(file, entry->position, object)) return false;
    bool found = false;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id != ChunkObjectGeometry) continue;
        // An object holds one mesh; should a file hold more, the last counts.
        geometry::PolyMesh& mesh = value.makeMesh();
        mesh.clear();
        found = true;
        MeshMapChunks map = NoMeshMapChunks;
        for (ChunkHeader m{}; nextChunk(file, chunkEnd(c), m); skipChunk(file, m)) {
            if (m.id == ChunkMeshVertices) {
                readVertices(file, m, mesh);
            } else if (m.id == ChunkMeshFaces) {
                readFaces(file, m, mesh);
            } else {
                noteMeshMapChunk(file, m, map);
            }
        }
        readMeshMapChannel(file, map, mesh);
    }
    return found;
}
